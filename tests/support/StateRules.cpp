#include "support/StateRules.h"
#include "processor/RestoredState.h"
#include "support/StateBlock.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace
{
constexpr float step = 0.01f;

bool equalIgnoringCase (const juce::String& a, const juce::String& b)
{
    auto p = a.getCharPointer();
    auto q = b.getCharPointer();

    for (;;)
    {
        const auto c = p.getAndAdvance();
        const auto d = q.getAndAdvance();

        if (c != d && juce::CharacterFunctions::toUpperCase (c) != juce::CharacterFunctions::toUpperCase (d))
            return false;

        if (c == 0)
            return true;
    }
}

// The property an attribute becomes in a tree: "base64:" names one holding raw bytes
// when its text decodes as a memory block.
std::pair<juce::String, juce::var> toProperty (const juce::XmlElement& e, int index)
{
    const auto name = e.getAttributeName (index);
    const auto text = e.getAttributeValue (index);
    juce::MemoryBlock bytes;

    if (name.startsWith ("base64:") && bytes.fromBase64Encoding (text))
        return { name.substring (7), bytes };

    return { name, text };
}

// Of several attributes with one property name, the first is the one read.
std::optional<juce::var> getProperty (const juce::XmlElement& e, const juce::String& name)
{
    for (int i = 0; i < e.getNumAttributes(); ++i)
        if (auto property = toProperty (e, i); property.first == name)
            return property.second;

    return std::nullopt;
}

bool bindsTo (const juce::XmlElement& child, const juce::String& id)
{
    const auto property = getProperty (child, "id");
    return property.has_value() && property->toString() == id;
}

juce::Array<const juce::XmlElement*> getElementChildren (const juce::XmlElement& e)
{
    juce::Array<const juce::XmlElement*> children;

    for (auto* child : e.getChildIterator())
        if (! child->isTextElement())
            children.add (child);

    return children;
}

bool repeatsAProperty (const juce::XmlElement* e)
{
    juce::StringArray names;

    for (int i = 0; i < e->getNumAttributes(); ++i)
        if (! names.addIfNotAlreadyThere (toProperty (*e, i).first))
            return true;

    return false;
}

const juce::XmlElement* findBindingChild (const juce::XmlElement& root, const juce::String& id)
{
    const juce::XmlElement* found = nullptr;

    for (auto* child : getElementChildren (root))
        if (bindsTo (*child, id))
            found = child;

    return found;
}

float readValue (const juce::XmlElement& child, float defaultValue)
{
    const auto value = getProperty (child, "value");
    return value.has_value() ? (float) *value : defaultValue;
}

std::unique_ptr<juce::XmlElement> parseSavedBlock (const juce::MemoryBlock& block, juce::String& problem)
{
    const auto* bytes = static_cast<const juce::uint8*> (block.getData());
    const auto size = block.getSize();

    if (size < 9 || juce::ByteOrder::littleEndianInt (bytes) != 0x21324356
        || juce::ByteOrder::littleEndianInt (bytes + 4) != size - 9 || bytes[size - 1] != 0
        || std::find (bytes + 8, bytes + size - 1, 0) != bytes + size - 1)
    {
        problem = "the saved block's frame is wrong";
        return nullptr;
    }

    auto xml = juce::parseXML (juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes) + 8, (int) size - 9));

    if (xml == nullptr)
        problem = "the saved block does not parse: " + juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes) + 8, (int) size - 9);

    return xml;
}

juce::String checkSave (TumblewispAudioProcessor& processor,
                        TumblewispAudioProcessor& reloaded,
                        const juce::XmlElement& restored)
{
    juce::String problem;
    const auto saved = parseSavedBlock (StateBlock::save (processor), problem);

    if (saved == nullptr)
        return problem;

    if (saved->getTagName() != restored.getTagName())
        return "the save's root is " + saved->getTagName() + ", the block's " + restored.getTagName();

    const auto before = getElementChildren (restored);
    const auto after = getElementChildren (*saved);
    juce::StringArray added;

    for (auto* id : StateBlock::ids)
        if (findBindingChild (restored, id) == nullptr)
            added.add (id);

    if (after.size() != before.size() + added.size())
        return "the save has " + juce::String (after.size()) + " children";

    for (int i = 0; i < before.size(); ++i)
        if (after[i]->getTagName() != before[i]->getTagName())
            return "the save's children are out of order";

    for (int i = 0; i < added.size(); ++i)
        if (after[before.size() + i]->getTagName() != "PARAM" || ! bindsTo (*after[before.size() + i], added[i]))
            return "the added children are wrong";

    // A repeated property is read from its first copy but written from its last, so
    // such a block cannot come back as it went in; only its structure is checked.
    if (std::any_of (before.begin(), before.end(), repeatsAProperty))
        return {};

    const auto values = StateBlock::getValues (processor);

    // A value text is kept as the block wrote it while it still reads as the same grid value.
    for (size_t i = 0; i < values.size(); ++i)
    {
        const auto* parameter = processor.parameters.getParameter (StateBlock::ids[i]);
        const auto range = parameter->getNormalisableRange();
        const auto defaultValue = parameter->convertFrom0to1 (parameter->getDefaultValue());
        const auto written = juce::jlimit (range.start, range.end, readValue (*findBindingChild (*saved, StateBlock::ids[i]), defaultValue));

        if (! (std::abs (written - values[i]) <= step / 2 + 1.0e-5f))
            return juce::String ("the save does not hold ") + StateBlock::ids[i];
    }

    StateBlock::restore (reloaded, StateBlock::save (processor));

    if (StateBlock::getValues (reloaded) != values)
        return "the save does not load back";

    return {};
}
} // namespace

std::unique_ptr<juce::XmlElement> StateRules::getAcceptedElement (const void* data,
                                                                  int sizeInBytes,
                                                                  const TumblewispAudioProcessor& processor)
{
    if (sizeInBytes < 9)
        return nullptr;

    const auto* bytes = static_cast<const char*> (data);

    if (std::memcmp (bytes, "VC2!", 4) != 0)
        return nullptr;

    const auto length = (juce::int32) juce::ByteOrder::littleEndianInt (bytes + 4);

    if (length <= 0)
        return nullptr;

    // Text and values that the framework's readers cannot be trusted with make no document;
    // which those are is the processor's own rule, held to account by the state tests.
    if (! isSafeForXmlParser (data, sizeInBytes))
        return nullptr;

    const auto available = juce::jmin (length, sizeInBytes - 8);
    const auto textLength = (int) (std::find (bytes + 8, bytes + 8 + available, 0) - (bytes + 8));
    auto xml = juce::parseXML (juce::String::fromUTF8 (bytes + 8, textLength));

    if (xml == nullptr || ! equalIgnoringCase (xml->getTagName(), processor.parameters.state.getType().toString()))
        return nullptr;

    if (! hasBoundedRawByteAttributes (*xml) || ! hasReadableParameterValues (juce::ValueTree::fromXml (*xml), processor.parameters))
        return nullptr;

    return xml;
}

juce::String StateRules::restoreAndCheck (TumblewispAudioProcessor& processor,
                                          TumblewispAudioProcessor& reloaded,
                                          const void* data,
                                          int sizeInBytes)
{
    const auto valuesBefore = StateBlock::getValues (processor);
    const auto savedBefore = StateBlock::save (processor);
    const auto accepted = getAcceptedElement (data, sizeInBytes, processor);

    processor.setStateInformation (data, sizeInBytes);

    const auto values = StateBlock::getValues (processor);

    if (accepted == nullptr)
    {
        if (values != valuesBefore || StateBlock::save (processor) != savedBefore)
            return "an unrecognised block changed the state";

        return {};
    }

    for (size_t i = 0; i < values.size(); ++i)
    {
        const auto* parameter = processor.parameters.getParameter (StateBlock::ids[i]);
        const auto range = parameter->getNormalisableRange();
        const auto* child = findBindingChild (*accepted, StateBlock::ids[i]);
        const auto name = juce::String (StateBlock::ids[i]) + " ";

        if (! (values[i] >= range.start && values[i] <= range.end))
            return name + "left its range";

        if (child == nullptr)
        {
            if (values[i] != valuesBefore[i])
                return name + "changed without a child";

            continue;
        }

        const auto target = juce::jlimit (range.start, range.end, readValue (*child, parameter->convertFrom0to1 (parameter->getDefaultValue())));
        const auto steps = (values[i] - range.start) / step;

        if (std::abs (steps - std::round (steps)) > 1.0e-3f)
            return name + "is off the grid";

        if (std::abs (values[i] - target) > step / 2 + 1.0e-5f)
            return name + "is not its nearest grid value";

        if (target == valuesBefore[i] && values[i] != valuesBefore[i])
            return name + "moved although the block held its value";
    }

    return checkSave (processor, reloaded, *accepted);
}
