#include "support/PluginHost.h"

namespace
{
/*  The LV2 host scans ~/.lv2 first, then the system folders, and keeps the first
    bundle it meets for each URI. A private home whose ~/.lv2 holds only the built
    bundle makes that the one it loads, whatever copy is installed, and spares a
    second scan, which leaks inside the framework's LV2 library.
*/
struct PrivateHome
{
    PrivateHome()
    {
        const auto lv2Folder = folder.getChildFile (".lv2");
        lv2Folder.createDirectory();
        juce::File (TUMBLEWISP_LV2_BUNDLE).createSymbolicLink (lv2Folder.getChildFile ("Tumblewisp.lv2"), true);
        setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~PrivateHome() { folder.deleteRecursively(); }

    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                  .getNonexistentChildFile ("tumblewisp-host-home", {}, false);
};

juce::AudioPluginFormatManager& getFormatManager()
{
    static const PrivateHome home;
    static juce::AudioPluginFormatManager manager;

    if (manager.getNumFormats() == 0)
    {
        manager.addFormat (new juce::VST3PluginFormat());
        manager.addFormat (new juce::LV2PluginFormat());
    }

    return manager;
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

juce::AudioProcessorParameter* PluginHost::findParameter (juce::AudioProcessor& processor, const juce::String& name)
{
    for (auto* parameter : processor.getParameters())
        if (parameter->getName (100) == name)
            return parameter;

    return nullptr;
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
