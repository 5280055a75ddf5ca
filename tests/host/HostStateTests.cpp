#include "support/PluginHost.h"

#include <gtest/gtest.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
constexpr int numBlocks = 16;

juce::MemoryBlock saveState (juce::AudioProcessor& processor)
{
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state;
}

// Prepares the instance and runs one silent block, which delivers pending parameter
// changes to the plug-in and their values back to the host, as a running host would.
void startProcessing (juce::AudioProcessor& processor)
{
    processor.prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> silence (2, blockSize);
    silence.clear();
    juce::MidiBuffer midi;
    processor.processBlock (silence, midi);
}

std::vector<float> processTestSignal (juce::AudioProcessor& processor)
{
    std::vector<float> output;
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    juce::Random random (7);

    for (int block = 0; block < numBlocks; ++block)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (channel, i, 0.6f * std::sin (0.03f * (float) (block * blockSize + i)) + 0.1f * (random.nextFloat() - 0.5f));

        processor.processBlock (buffer, midi);

        for (int channel = 0; channel < 2; ++channel)
            output.insert (output.end(), buffer.getReadPointer (channel), buffer.getReadPointer (channel) + blockSize);
    }

    return output;
}
} // namespace

TEST (HostState, SavedStateComesBackInANewInstance)
{
    const std::pair<const char*, float> settings[] { { "Speed", 0.8f }, { "Depth", 0.7f }, { "Swamp", 0.3f }, { "Shape", 0.9f } };

    for (auto format : PluginHost::allFormats)
    {
        SCOPED_TRACE (PluginHost::getFormatName (format).toStdString());
        juce::String error;

        auto original = PluginHost::load (format, sampleRate, blockSize, error);
        auto restored = PluginHost::load (format, sampleRate, blockSize, error);
        auto untouched = PluginHost::load (format, sampleRate, blockSize, error);
        ASSERT_TRUE (original != nullptr && restored != nullptr && untouched != nullptr) << error;

        for (const auto& [name, value] : settings)
        {
            auto* parameter = PluginHost::findParameter (*original, name);
            ASSERT_NE (parameter, nullptr) << name;
            parameter->setValueNotifyingHost (value);
        }

        startProcessing (*original);
        const auto state = saveState (*original);

        restored->setStateInformation (state.getData(), (int) state.getSize());
        startProcessing (*restored);
        startProcessing (*untouched);

        for (const auto& [name, value] : settings)
        {
            auto* before = PluginHost::findParameter (*original, name);
            auto* after = PluginHost::findParameter (*restored, name);
            ASSERT_NE (after, nullptr) << name;
            EXPECT_NEAR (before->getValue(), value, 0.01f) << name;
            EXPECT_NEAR (after->getValue(), before->getValue(), 1.0e-6f) << name;
            EXPECT_EQ (after->getCurrentValueAsText(), before->getCurrentValueAsText()) << name;
        }

        const auto originalOutput = processTestSignal (*original);
        EXPECT_EQ (processTestSignal (*restored), originalOutput);

        // The settings shape the sound, so the comparison above could have failed.
        EXPECT_NE (processTestSignal (*untouched), originalOutput);

        EXPECT_EQ (saveState (*restored).toBase64Encoding(), saveState (*original).toBase64Encoding());
    }
}
