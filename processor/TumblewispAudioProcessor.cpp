#include "TumblewispAudioProcessor.h"
#include "ParameterLayout.h"
#include "RestoredState.h"

#include <cmath>

namespace
{
constexpr double pi = 3.141592653589793;
constexpr double twoPi = 2.0 * pi;
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
    lfoIncrement = currentSpeed / sampleRate * 2.0 * pi;
    filterBaseCoefficient = (float) (2700.0 / sampleRate);

    // Below about 8.5 kHz the forward-Euler low-pass overshoots and diverges;
    // capping the step keeps it stable (it then follows its input at full cutoff).
    if (! (twoPi * (double) filterBaseCoefficient < 2.0))
        filterBaseCoefficient = (float) (1.0 / twoPi);

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

    const auto speed = parameters.getRawParameterValue ("SPEED")->load();
    const auto depth = parameters.getRawParameterValue ("DEPTH")->load();
    const auto swamp = parameters.getRawParameterValue ("SWAMP")->load();
    const auto shape = parameters.getRawParameterValue ("SHAPE")->load();

    currentShape = shape;
    currentSpeed = (double) speed;
    lfoIncrement = currentSpeed / currentSampleRate * 2.0 * pi;

    const auto numSamples = buffer.getNumSamples();

    for (auto channel = inputs; channel < outputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    // Channels beyond the filter state table have no state of their own, so they stay silent.
    const auto processed = juce::jmin (inputs, maxChannels);

    for (auto channel = processed; channel < inputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    const auto blockStartPhase = lfoPhase;

    for (auto channel = 0; channel < processed; ++channel)
    {
        auto* samples = buffer.getWritePointer (channel);
        auto& state = filterStates[(size_t) channel];
        auto phase = blockStartPhase;

        for (auto j = 0; j < numSamples; ++j)
        {
            const auto x = samples[j];

            const auto s = sinf ((float) phase);
            const auto w = (1.0 - (double) currentShape) * (double) s;
            const auto t = tanhf (s * 10.0f);
            const auto lfo = (float) ((double) (t * currentShape) + w);
            phase += lfoIncrement;

            const auto m = lfo * depth + 1.0f;
            const auto trough = m < 1.0f ? 1.0f - m : 0.0f;
            const auto amount = trough * swamp;
            const auto exponent = amount * -0.8f + 1.0f;
            const auto p = powf (std::abs (x), exponent);
            const auto y = x < 0.0f ? -p : p;
            const auto g = juce::jmin (amount * 6.0f, 0.9f);
            const auto k = (1.0f - g) * filterBaseCoefficient;
            const auto z = state;
            const auto d = (y * m - z) * 2.0f;
            auto next = (float) ((double) d * pi * (double) k + (double) z);

            // A non-finite sample would otherwise poison this channel's state for good.
            if (! std::isfinite (next))
                next = 0.0f;

            state = next;
            samples[j] = hasProcessedBlock ? next : 0.0f;
        }

        lfoPhase = phase;
    }

    // Keeps the single-precision phase fed to sinf accurate however long the session runs.
    lfoPhase = std::fmod (lfoPhase, twoPi);
    hasProcessedBlock = true;
}

double TumblewispAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool TumblewispAudioProcessor::acceptsMidi() const { return false; }
bool TumblewispAudioProcessor::producesMidi() const { return false; }
bool TumblewispAudioProcessor::isMidiEffect() const { return false; }

void TumblewispAudioProcessor::reset()
{
}

juce::AudioProcessorEditor* TumblewispAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
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
    if (! isSafeForXmlParser (data, sizeInBytes))
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (parameters.state.getType()) || ! hasBoundedRawByteAttributes (*xml))
        return;

    auto restored = juce::ValueTree::fromXml (*xml);

    if (! hasReadableParameterValues (restored, parameters))
        return;

    // replaceState resets a parameter without a child to its default, and a child
    // without a value would carry that loss into every later save.
    addMissingParameterChildren (restored, parameters);
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
