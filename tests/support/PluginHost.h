#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <memory>

/** Loads the bundles built by this tree through the framework's own plug-in
    hosting, the way a DAW would. Every real-host test goes through here. */
class PluginHost
{
public:
    enum class Format
    {
        vst3,
        lv2
    };

    static constexpr std::array<Format, 2> allFormats { Format::vst3, Format::lv2 };

    static juce::String getFormatName (Format format);

    /** Returns an unprepared instance of the built plug-in, or nullptr with the reason in error. */
    static std::unique_ptr<juce::AudioPluginInstance> load (Format format,
                                                            double sampleRate,
                                                            int blockSize,
                                                            juce::String& error);

    /** Finds a parameter by its name, whatever index the format's wrapper gives it. */
    static juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& processor, const juce::String& name);

private:
    static std::unique_ptr<juce::PluginDescription> findBuiltPlugin (Format format, juce::String& error);
};
