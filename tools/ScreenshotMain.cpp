#include "processor/TumblewispAudioProcessor.h"

#include <iostream>

// Renders the editor exactly as the plug-in paints it and saves it as a PNG file.
int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: TumblewispScreenshot OUTPUT.png\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI framework;

    TumblewispAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    processor.editorBeingDeleted (editor.get());
    editor.reset();

    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (argv[1]));
    file.getParentDirectory().createDirectory();
    file.deleteFile();

    juce::FileOutputStream stream (file);
    juce::PNGImageFormat png;

    if (! stream.openedOk() || ! png.writeImageToStream (image, stream))
    {
        std::cerr << "could not write " << file.getFullPathName() << "\n";
        return 1;
    }

    return 0;
}
