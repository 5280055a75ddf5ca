#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

class TumblewispAudioProcessor : public juce::AudioProcessor
{
public:
    TumblewispAudioProcessor();
    ~TumblewispAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    void reset() override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    juce::AudioProcessorValueTreeState parameters;

private:
    friend struct ProcessorInternals;

    static constexpr int maxChannels = 20;
    static constexpr int chunkLength = 64;

    void processSamples (float* const* samples, int channels, int numSamples, float depth, float swamp) noexcept;

    float currentShape = 0.0f;
    double currentSpeed = 1.0;
    double currentSampleRate = 0.0;
    double lfoPhase = 0.0;
    double lfoIncrement = 0.0;
    std::array<float, maxChannels> filterStates {};
    float filterBaseCoefficient = 0.0f;
    bool hasProcessedBlock = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TumblewispAudioProcessor)
};
