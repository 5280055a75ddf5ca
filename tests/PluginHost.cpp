#include "PluginHost.h"

namespace
{
juce::AudioPluginFormatManager& getFormatManager()
{
    static auto manager = []
    {
        // The LV2 host also scans ~/.lv2, where an installed copy of the same URI
        // would shadow the bundle under test; a private home keeps it out of reach.
        const auto home = juce::File::createTempFile ("tumblewisp-home");
        home.createDirectory();
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

        auto m = std::make_unique<juce::AudioPluginFormatManager>();
        m->addFormat (new juce::VST3PluginFormat());
        m->addFormat (new juce::LV2PluginFormat());
        return m;
    }();

    return *manager;
}

juce::AudioPluginFormat& getFormat (PluginHost::Format format)
{
    auto& manager = getFormatManager();

    for (auto* candidate : manager.getFormats())
        if (candidate->getName() == PluginHost::getFormatName (format))
            return *candidate;

    jassertfalse;
    return *manager.getFormat (0);
}
} // namespace

juce::String PluginHost::getFormatName (Format format)
{
    return format == Format::vst3 ? "VST3" : "LV2";
}

std::unique_ptr<juce::PluginDescription> PluginHost::findBuiltPlugin (Format format, juce::String& error)
{
    auto& pluginFormat = getFormat (format);
    juce::OwnedArray<juce::PluginDescription> types;

    if (format == Format::vst3)
    {
        // The binary sits in Tumblewisp.vst3/Contents/<arch>/; hosts open the bundle folder.
        const auto bundle = juce::File (TUMBLEWISP_VST3_BINARY).getParentDirectory().getParentDirectory().getParentDirectory();
        pluginFormat.findAllTypesForFile (types, bundle.getFullPathName());
    }
    else
    {
        static const bool loadedOnlyOurs = [&pluginFormat]
        {
            juce::OwnedArray<juce::PluginDescription> before;
            pluginFormat.findAllTypesForFile (before, TUMBLEWISP_LV2_URI);
            pluginFormat.searchPathsForPlugins (juce::FileSearchPath (juce::File (TUMBLEWISP_LV2_BUNDLE).getParentDirectory().getFullPathName()),
                                                false,
                                                false);
            return before.isEmpty();
        }();

        if (! loadedOnlyOurs)
        {
            error = "an installed LV2 bundle with the URI " TUMBLEWISP_LV2_URI " shadows the one under test";
            return nullptr;
        }

        pluginFormat.findAllTypesForFile (types, TUMBLEWISP_LV2_URI);
    }

    if (types.isEmpty())
    {
        error = "the built " + getFormatName (format) + " bundle holds no plug-in";
        return nullptr;
    }

    return std::make_unique<juce::PluginDescription> (*types.getFirst());
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::load (Format format,
                                                             double sampleRate,
                                                             int blockSize,
                                                             juce::String& error)
{
    const auto description = findBuiltPlugin (format, error);

    if (description == nullptr)
        return nullptr;

    return getFormatManager().createPluginInstance (*description, sampleRate, blockSize, error);
}
