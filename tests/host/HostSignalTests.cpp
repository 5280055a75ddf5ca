#include "processor/TumblewispAudioProcessor.h"
#include "support/PluginHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int maximumBlockSize = 4096;

const char* const parameterNames[] { "Speed", "Depth", "Swamp", "Shape" };

/** A chord on the left and a rising tone over noise on the right. */
float knownSignal (int channel, int64_t index)
{
    const auto t = (double) index / sampleRate;

    if (channel == 0)
        return (float) (0.4 * std::sin (2.0 * juce::MathConstants<double>::pi * 220.0 * t)
                        + 0.3 * std::sin (2.0 * juce::MathConstants<double>::pi * 331.0 * t)
                        + 0.2 * std::sin (2.0 * juce::MathConstants<double>::pi * 1490.0 * t));

    const auto noise = (double) ((index * 1103515245 + 12345) % 65536) / 32768.0 - 1.0;
    return (float) (0.9 * std::sin (2.0 * juce::MathConstants<double>::pi * (100.0 + 400.0 * t) * t) + 0.1 * noise);
}

void fillWithKnownSignal (juce::AudioBuffer<float>& buffer, int64_t position)
{
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (channel, i, knownSignal (channel, position + i));
}

bool sameBits (float a, float b)
{
    return std::memcmp (&a, &b, sizeof (float)) == 0;
}
} // namespace

// The hosts reorder parameters (VST3 adds a bypass, LV2 sorts by symbol), so they are
// reached by name; the values are set on both sides as the same normalised value.
TEST (HostSignal, BuiltBundlesRenderBitIdenticalToTheProcessorInProcess)
{
    for (const auto format : PluginHost::allFormats)
    {
        SCOPED_TRACE (PluginHost::getFormatName (format));

        juce::String error;
        auto hosted = PluginHost::load (format, sampleRate, maximumBlockSize, error);
        ASSERT_NE (hosted, nullptr) << error;

        TumblewispAudioProcessor local;
        ASSERT_EQ (hosted->getTotalNumInputChannels(), 2);
        ASSERT_EQ (local.getTotalNumInputChannels(), 2);

        std::map<juce::String, juce::AudioProcessorParameter*> hostedParameters, localParameters;

        for (const auto* name : parameterNames)
        {
            hostedParameters[name] = PluginHost::findParameter (*hosted, name);
            localParameters[name] = PluginHost::findParameter (local, name);
            ASSERT_NE (hostedParameters[name], nullptr) << name;
            ASSERT_NE (localParameters[name], nullptr) << name;
        }

        hosted->prepareToPlay (sampleRate, maximumBlockSize);
        local.prepareToPlay (sampleRate, maximumBlockSize);

        std::mt19937 random (13);
        std::uniform_int_distribution<int> pick (0, 3);
        std::uniform_int_distribution<int> gridStep (0, 490);
        const int blockSizes[] { 1, 7, 333, 4096 };
        juce::AudioBuffer<float> hostedBuffer (2, maximumBlockSize), localBuffer (2, maximumBlockSize);
        juce::MidiBuffer midi;
        int64_t position = 0;
        auto blocks = 0;
        auto audible = 0;

        while (position < (int64_t) (4.0 * sampleRate))
        {
            // Between every two blocks one parameter moves to a new point of its 0.01 grid.
            const auto* name = parameterNames[pick (random)];
            const auto* range = dynamic_cast<juce::RangedAudioParameter*> (localParameters[name]);
            ASSERT_NE (range, nullptr);
            const auto steps = juce::roundToInt ((range->getNormalisableRange().end - range->getNormalisableRange().start) / 0.01f);
            const auto value = range->convertTo0to1 (range->getNormalisableRange().start + 0.01f * (float) (gridStep (random) % (steps + 1)));
            hostedParameters[name]->setValue (value);
            localParameters[name]->setValueNotifyingHost (value);

            const auto length = blockSizes[pick (random)];
            hostedBuffer.setSize (2, length, false, false, true);
            localBuffer.setSize (2, length, false, false, true);

            fillWithKnownSignal (hostedBuffer, position);
            fillWithKnownSignal (localBuffer, position);

            hosted->processBlock (hostedBuffer, midi);
            local.processBlock (localBuffer, midi);

            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < length; ++i)
                {
                    const auto expected = localBuffer.getSample (channel, i);
                    ASSERT_TRUE (sameBits (hostedBuffer.getSample (channel, i), expected))
                        << "block " << blocks << " channel " << channel << " sample " << i << ": "
                        << hostedBuffer.getSample (channel, i) << " instead of " << expected;
                    audible += expected != 0.0f;
                }

            position += length;
            ++blocks;
        }

        EXPECT_GT (audible, (int) (3.9 * sampleRate));
        hosted->releaseResources();
    }
}

// A host that prepares at 0 Hz first must still hear the plug-in once it prepares at a real rate.
TEST (HostSignal, SoundComesBackAfterAPreparationAtZeroHertz)
{
    for (const auto format : PluginHost::allFormats)
    {
        SCOPED_TRACE (PluginHost::getFormatName (format));

        juce::String error;
        auto hosted = PluginHost::load (format, sampleRate, 512, error);
        ASSERT_NE (hosted, nullptr) << error;

        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;
        int64_t position = 0;

        const auto render = [&]
        {
            fillWithKnownSignal (buffer, position);
            position += 512;
            hosted->processBlock (buffer, midi);
        };

        hosted->prepareToPlay (0.0, 512);

        for (int block = 0; block < 3; ++block)
            render();

        hosted->releaseResources();
        hosted->prepareToPlay (44100.0, 512);

        // The LV2 host makes a new instance for a new rate, and its first block is silent.
        const auto firstAudible = format == PluginHost::Format::lv2 ? 1 : 0;

        for (int block = 0; block < 40; ++block)
        {
            render();

            if (block >= firstAudible)
                EXPECT_GT (buffer.getMagnitude (0, 512), 0.01f) << "block " << block;
        }

        hosted->releaseResources();
    }
}
