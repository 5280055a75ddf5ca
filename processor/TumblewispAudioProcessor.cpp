#include "processor/TumblewispAudioProcessor.h"
#include "processor/ParameterLayout.h"
#include "processor/SavedStateReader.h"
#include "processor/SignalPath.h"
#include "editor/TumblewispAudioProcessorEditor.h"

#include <algorithm>
#include <cmath>

namespace
{
/** Runs a few channels through one chunk side by side, their states held in registers,
    so that their low-pass recursions overlap in the pipeline. */
template <size_t count>
void filterChannels (float* const* channels, float* states, int start, int length, const SignalPath::Modulation* steps, bool audible) noexcept
{
    std::array<float, count> z;
    std::copy_n (states, count, z.begin());

    for (auto i = 0; i < length; ++i)
    {
        for (size_t c = 0; c < count; ++c)
        {
            auto& sample = channels[c][start + i];
            z[c] = SignalPath::filter (sample, z[c], steps[i]);
            sample = audible ? z[c] : 0.0f;
        }
    }

    std::copy_n (z.begin(), count, states);
}
} // namespace

TumblewispAudioProcessor::TumblewispAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, juce::Identifier ("Parameters"), createParameterLayout())
{
}

TumblewispAudioProcessor::~TumblewispAudioProcessor() = default;

const juce::String TumblewispAudioProcessor::getName() const
{
    return "Tumblewisp";
}

void TumblewispAudioProcessor::prepareToPlay (double sampleRate, int)
{
    currentSampleRate = sampleRate;
    lfoIncrement = SignalPath::phaseIncrement (currentSpeed, sampleRate);
    filterBaseCoefficient = (float) (2700.0 / sampleRate);

    // At sample rates below about 8.5 kHz (and at 0 Hz or NaN) the forward-Euler low-pass
    // overshoots and diverges; capping the step keeps it stable (it then follows its input
    // at full cutoff).
    if (! (SignalPath::twoPi * (double) filterBaseCoefficient < 2.0))
        filterBaseCoefficient = (float) (1.0 / SignalPath::twoPi);

    // A host may expect preparation to leave the processor as a reset would; reset clears
    // nothing, so a new preparation is as inaudible as a reset.
    reset();
}

void TumblewispAudioProcessor::releaseResources()
{
}

void TumblewispAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const auto inputs = getTotalNumInputChannels();
    const auto outputs = getTotalNumOutputChannels();

    const auto speed = parameters.getRawParameterValue (ParameterIds::speed)->load();
    const auto depth = parameters.getRawParameterValue (ParameterIds::depth)->load();
    const auto swamp = parameters.getRawParameterValue (ParameterIds::swamp)->load();
    const auto shape = parameters.getRawParameterValue (ParameterIds::shape)->load();

    currentShape = shape;
    currentSpeed = (double) speed;
    lfoIncrement = SignalPath::phaseIncrement (currentSpeed, currentSampleRate);

    const auto numSamples = buffer.getNumSamples();

    for (auto channel = inputs; channel < outputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    // Channels beyond the filter state table have no state of their own, so they stay silent.
    const auto channels = juce::jmin (inputs, maxChannels);

    for (auto channel = channels; channel < inputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    if (channels > 0)
        processSamples (buffer.getArrayOfWritePointers(), channels, numSamples, depth, swamp);

    // Keeps the single-precision phase fed to sinf accurate however long the session runs;
    // a phase that an absurdly small rate has run past the largest double starts again at 0.
    lfoPhase = std::isfinite (lfoPhase) ? std::fmod (lfoPhase, SignalPath::twoPi) : 0.0;

    // The first block of a processor's life is silent: the low-pass spends it settling from
    // its empty state onto the input, so a new instance does not start with a step.
    hasProcessedBlock = true;
}

void TumblewispAudioProcessor::processSamples (float* const* samples, int channels, int numSamples, float depth, float swamp) noexcept
{
    std::array<float, chunkLength> sines;
    std::array<float, chunkLength> saturated;
    std::array<SignalPath::Modulation, chunkLength> steps;

    for (auto start = 0; start < numSamples; start += chunkLength)
    {
        const auto length = juce::jmin (chunkLength, numSamples - start);

        // The oscillator is the same for every channel, so it runs once per sample. Each
        // library function gets a loop of its own, where the calls overlap one another.
        for (auto i = 0; i < length; ++i)
        {
            sines[(size_t) i] = sinf ((float) lfoPhase);
            lfoPhase += lfoIncrement;
        }

        for (auto i = 0; i < length; ++i)
            saturated[(size_t) i] = SignalPath::saturate (sines[(size_t) i] * 10.0f);

        for (auto i = 0; i < length; ++i)
        {
            const auto lfo = SignalPath::blend (sines[(size_t) i], saturated[(size_t) i], currentShape);
            steps[(size_t) i] = SignalPath::modulate (lfo, depth, swamp, filterBaseCoefficient);
        }

        auto channel = 0;

        for (; channel + 1 < channels; channel += 2)
            filterChannels<2> (samples + channel, filterStates.data() + channel, start, length, steps.data(), hasProcessedBlock);

        if (channel < channels)
            filterChannels<1> (samples + channel, filterStates.data() + channel, start, length, steps.data(), hasProcessedBlock);
    }
}

double TumblewispAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool TumblewispAudioProcessor::acceptsMidi() const { return false; }
bool TumblewispAudioProcessor::producesMidi() const { return false; }
bool TumblewispAudioProcessor::isMidiEffect() const { return false; }

// The phase and the filter states carry on across a host's reset, which is therefore never heard.
void TumblewispAudioProcessor::reset()
{
}

juce::AudioProcessorEditor* TumblewispAudioProcessor::createEditor()
{
    return new TumblewispAudioProcessorEditor (*this);
}

bool TumblewispAudioProcessor::hasEditor() const { return true; }

int TumblewispAudioProcessor::getNumPrograms() { return 1; }
int TumblewispAudioProcessor::getCurrentProgram() { return 0; }
void TumblewispAudioProcessor::setCurrentProgram (int) {}
const juce::String TumblewispAudioProcessor::getProgramName (int) { return {}; }
void TumblewispAudioProcessor::changeProgramName (int, const juce::String&) {}

void TumblewispAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    // copyState flushes the current values into the tree and copies it under the
    // tree's lock; the text is written from the private copy after the lock is gone.
    const auto xml = parameters.copyState().createXml();
    copyXmlToBinary (*xml, destData);
}

void TumblewispAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // A block that is not ours, or not safe to read, changes nothing.
    if (auto restored = readSavedState (data, sizeInBytes, parameters); restored.isValid())
        parameters.replaceState (restored);
}

bool TumblewispAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return output == layouts.getMainInputChannelSet();
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new TumblewispAudioProcessor();
}
