#include "TumblewispAudioProcessor.h"
#include "ParameterLayout.h"
#include "SignalPath.h"

#include <cmath>

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
    lfoIncrement = currentSpeed / sampleRate * 2.0 * SignalPath::pi;
    filterBaseCoefficient = (float) (2700.0 / sampleRate);

    // Below about 8.5 kHz the forward-Euler low-pass overshoots and diverges;
    // capping the step keeps it stable (it then follows its input at full cutoff).
    if (! (SignalPath::twoPi * (double) filterBaseCoefficient < 2.0))
        filterBaseCoefficient = (float) (1.0 / SignalPath::twoPi);

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
    lfoIncrement = currentSpeed / currentSampleRate * 2.0 * SignalPath::pi;

    const auto numSamples = buffer.getNumSamples();

    for (auto channel = inputs; channel < outputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    // Channels beyond the filter state table have no state of their own, so they stay silent.
    const auto channels = juce::jmin (inputs, maxChannels);

    for (auto channel = channels; channel < inputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    if (channels > 0)
    {
        auto* const* samples = buffer.getArrayOfWritePointers();

        for (auto start = 0; start < numSamples; start += chunkLength)
            processChunk (samples, channels, start, juce::jmin (chunkLength, numSamples - start), depth, swamp);
    }

    // Keeps the single-precision phase fed to sinf accurate however long the session runs.
    lfoPhase = std::fmod (lfoPhase, SignalPath::twoPi);
    hasProcessedBlock = true;
}

void TumblewispAudioProcessor::processChunk (float* const* samples, int channels, int start, int length, float depth, float swamp) noexcept
{
    // The oscillator is the same for every channel, so it runs once per sample
    // and each channel then only bends and filters its own samples.
    std::array<SignalPath::Modulation, chunkLength> modulation;

    for (auto i = 0; i < length; ++i)
    {
        modulation[(size_t) i] = SignalPath::modulate (lfoPhase, currentShape, depth, swamp, filterBaseCoefficient);
        lfoPhase += lfoIncrement;
    }

    for (auto channel = 0; channel < channels; ++channel)
    {
        auto* channelSamples = samples[channel] + start;
        auto state = filterStates[(size_t) channel];

        for (auto i = 0; i < length; ++i)
        {
            const auto& step = modulation[(size_t) i];
            const auto y = SignalPath::bend (channelSamples[i], step.exponent);
            auto next = SignalPath::lowPass (state, y * step.gain, step.coefficient);

            // A non-finite sample would otherwise poison this channel's state for good.
            if (! std::isfinite (next))
                next = 0.0f;

            state = next;
            channelSamples[i] = hasProcessedBlock ? next : 0.0f;
        }

        filterStates[(size_t) channel] = state;
    }
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
    const auto state = parameters.copyState();

    if (const auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void TumblewispAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml != nullptr && xml->hasTagName (parameters.state.getType()))
        parameters.replaceState (juce::ValueTree::fromXml (*xml));
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
