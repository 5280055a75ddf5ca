#pragma once

#include "support/BusLayout.h"
#include "support/NoiseBuffer.h"
#include "support/ProcessorInternals.h"
#include "support/ProcessorParameters.h"
#include "support/ReferenceTremolo.h"

#include <gtest/gtest.h>

#include <cstring>

/** Shared helpers for the tests that drive the processor's signal path. */
namespace SignalTestSupport
{
inline void setChannels (TumblewispAudioProcessor& processor, int channels)
{
    const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    ASSERT_TRUE (processor.setBusesLayout (makeLayout ({ set }, { set })));
}

/** A reference that starts from the processor's present state. */
inline ReferenceTremolo referenceFrom (const TumblewispAudioProcessor& processor)
{
    using I = ProcessorInternals;
    ReferenceTremolo reference;
    reference.currentShape = I::currentShape (processor);
    reference.currentSpeed = I::currentSpeed (processor);
    reference.currentSampleRate = I::currentSampleRate (processor);
    reference.lfoPhase = I::lfoPhase (processor);
    reference.lfoIncrement = I::lfoIncrement (processor);
    reference.filterBaseCoefficient = I::filterBaseCoefficient (processor);
    reference.hasProcessedBlock = I::hasProcessedBlock (processor);

    for (size_t i = 0; i < reference.filterStates.size(); ++i)
        reference.filterStates[i] = I::filterState (processor, (int) i);

    return reference;
}

inline void process (TumblewispAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

/** Runs an empty block through the processor: a processor's first block comes out silent,
    so the next one is heard. */
inline void passTheSilentFirstBlock (TumblewispAudioProcessor& processor)
{
    juce::AudioBuffer<float> empty (2, 0);
    process (processor, empty);
}

inline bool sameBits (float a, float b)
{
    return std::memcmp (&a, &b, sizeof (float)) == 0;
}

inline testing::AssertionResult identical (const juce::AudioBuffer<float>& actual, const juce::AudioBuffer<float>& expected)
{
    if (actual.getNumChannels() != expected.getNumChannels() || actual.getNumSamples() != expected.getNumSamples())
        return testing::AssertionFailure() << "buffer sizes differ";

    for (int channel = 0; channel < actual.getNumChannels(); ++channel)
        for (int i = 0; i < actual.getNumSamples(); ++i)
            if (! sameBits (actual.getSample (channel, i), expected.getSample (channel, i)))
                return testing::AssertionFailure() << "channel " << channel << " sample " << i << ": "
                                                   << actual.getSample (channel, i) << " instead of "
                                                   << expected.getSample (channel, i);

    return testing::AssertionSuccess();
}

inline juce::AudioBuffer<float> constantBuffer (int channels, int samples, float value)
{
    juce::AudioBuffer<float> buffer (channels, samples);

    for (int channel = 0; channel < channels; ++channel)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), value, samples);

    return buffer;
}

/** A processor prepared for stereo at the given rate. */
struct PreparedProcessor
{
    explicit PreparedProcessor (double sampleRate = 44100.0, int channels = 2)
    {
        setChannels (processor, channels);
        processor.prepareToPlay (sampleRate, 4096);
    }

    TumblewispAudioProcessor processor;
};
} // namespace SignalTestSupport
