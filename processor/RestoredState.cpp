#include "RestoredState.h"

#include <algorithm>
#include <cmath>

namespace
{
const juce::Identifier paramType ("PARAM");
const juce::Identifier idProperty ("id");
const juce::Identifier valueProperty ("value");

// The parameter tree binds a child to a parameter by an exact match of its "id",
// whatever the child's type, so the same test decides which children count.
bool binds (const juce::ValueTree& child, const juce::String& parameterId)
{
    return child.getProperty (idProperty).toString() == parameterId;
}

// Ordered by code point, as the parameter tree orders its own children.
juce::StringArray getSortedParameterIds (const juce::AudioProcessorValueTreeState& parameters)
{
    juce::StringArray ids;

    for (auto* parameter : parameters.processor.getParameters())
        if (auto* withId = dynamic_cast<juce::RangedAudioParameter*> (parameter))
            ids.add (withId->paramID);

    ids.sort (false);
    return ids;
}
} // namespace

bool isSafeForXmlParser (const void* data, int sizeInBytes)
{
    if (sizeInBytes <= 8)
        return true;

    const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

    if (length <= 0)
        return true;

    const auto* bytes = static_cast<const char*> (data) + 8;
    const auto numBytes = juce::jmin (sizeInBytes - 8, length);

    // The parser steps over a cut-off multi-byte sequence and on past the end of the text.
    if (! juce::CharPointer_UTF8::isValidString (bytes, numBytes))
        return false;

    const auto text = juce::String::fromUTF8 (bytes, numBytes);

    // A processing instruction inside an element, followed by text, sends the parser round
    // forever; only the declaration at the very start may be one.
    const auto firstInstruction = text.indexOf ("<?");

    if (firstInstruction >= 0
        && (text.substring (0, firstInstruction).trim().isNotEmpty() || text.indexOf (firstInstruction + 2, "<?") >= 0))
        return false;

    // Entities declared by a document type can refer to themselves without end.
    if (text.contains ("<!DOCTYPE"))
        return false;

    // A hexadecimal character reference that the text ends inside makes the parser step past the end.
    const auto lastHexReference = text.lastIndexOfIgnoreCase ("&#x");

    return lastHexReference < 0 || text.indexOfChar (lastHexReference, ';') >= 0;
}

bool hasOnlyNumericParameterValues (const juce::ValueTree& restored,
                                    const juce::AudioProcessorValueTreeState& parameters)
{
    const auto ids = getSortedParameterIds (parameters);

    for (const auto& child : restored)
        for (const auto& id : ids)
            if (binds (child, id) && child.hasProperty (valueProperty)
                && std::isnan ((float) child.getProperty (valueProperty)))
                return false;

    return true;
}

void addMissingParameterChildren (juce::ValueTree& restored,
                                  const juce::AudioProcessorValueTreeState& parameters)
{
    for (const auto& id : getSortedParameterIds (parameters))
    {
        const auto hasChild = std::any_of (restored.begin(), restored.end(), [&id] (const auto& child)
                                           { return binds (child, id); });

        if (! hasChild)
            restored.appendChild (juce::ValueTree (paramType,
                                                   { { idProperty, id },
                                                     { valueProperty, parameters.getRawParameterValue (id)->load() } }),
                                  nullptr);
    }
}
