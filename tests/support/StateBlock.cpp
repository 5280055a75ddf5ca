#include "support/StateBlock.h"
#include "support/ProcessorParameters.h"

const juce::String StateBlock::declaration { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" };

juce::MemoryBlock StateBlock::make (const juce::String& text, int lengthField)
{
    juce::MemoryBlock block;

    {
        juce::MemoryOutputStream out (block, false);
        out.writeInt (0x21324356);
        out.writeInt (lengthField);
        out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
        out.writeByte (0);
    }

    return block;
}

juce::MemoryBlock StateBlock::make (const juce::String& text)
{
    return make (text, (int) text.getNumBytesAsUTF8());
}

juce::String StateBlock::document (const juce::String& root, const juce::String& children)
{
    return declaration + " <" + root + ">" + children + "</" + root + ">";
}

juce::String StateBlock::param (const juce::String& id, const juce::String& value)
{
    return "<PARAM id=\"" + id + "\" value=\"" + value + "\"/>";
}

juce::String StateBlock::allParams (const juce::String& value)
{
    juce::String children;

    for (auto* id : ids)
        children << param (id, value);

    return children;
}

juce::String StateBlock::textOf (const juce::MemoryBlock& block)
{
    if (block.getSize() < 9)
        return {};

    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int) block.getSize() - 9);
}

juce::MemoryBlock StateBlock::save (TumblewispAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

void StateBlock::restore (TumblewispAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), (int) block.getSize());
}

StateBlock::Values StateBlock::getValues (const TumblewispAudioProcessor& processor)
{
    Values values {};

    for (size_t i = 0; i < ids.size(); ++i)
        values[i] = processor.parameters.getRawParameterValue (ids[i])->load();

    return values;
}

void StateBlock::setValues (TumblewispAudioProcessor& processor, const Values& values)
{
    for (size_t i = 0; i < ids.size(); ++i)
        setParameter (processor, ids[i], values[i]);
}
