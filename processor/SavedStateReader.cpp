#include "processor/SavedStateReader.h"
#include "processor/NestingWalk.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

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

// The framework's number reader gathers an exponent's digits in an int, which can overflow from ten digits on.
bool hasOverlongExponent (const juce::String& text)
{
    for (auto e = text.indexOfAnyOf ("eE"); e >= 0; e = text.indexOfAnyOf ("eE", e + 1))
        if (text.substring (e + 1).trimCharactersAtStart ("+-0").initialSectionContainingOnly ("0123456789").length() > 9)
            return true;

    return false;
}

// Shortest-form UTF-8 only. The framework's parser steps over a cut-off sequence and on past
// the end of the text, and its pool of identifiers takes an over-long spelling of a name for
// the name itself, so one block could change how every later save spells that name.
bool isShortestFormUtf8 (const juce::uint8* bytes, int numBytes)
{
    for (int i = 0; i < numBytes && bytes[i] != 0;)
    {
        const auto lead = bytes[i];
        const auto extra = lead < 0x80 ? 0 : lead < 0xc2 ? -1 : lead < 0xe0 ? 1 : lead < 0xf0 ? 2 : lead < 0xf5 ? 3 : -1;

        if (extra < 0 || i + extra >= numBytes)
            return false;

        // The second byte's range rules out over-long forms, surrogates and code points past U+10FFFF.
        const auto low = lead == 0xe0 ? 0xa0 : lead == 0xf0 ? 0x90 : 0x80;
        const auto high = lead == 0xed ? 0x9f : lead == 0xf4 ? 0x8f : 0xbf;

        for (int k = 1; k <= extra; ++k)
            if (bytes[i + k] < (k == 1 ? low : 0x80) || bytes[i + k] > (k == 1 ? high : 0xbf))
                return false;

        i += extra + 1;
    }

    return true;
}

// What follows an '&' must be one of the five named entities or a character reference to a code
// point. The parser steps past the end of a hexadecimal reference that the text ends inside, and
// takes any other name for an undefined entity whose name it then parses as more of the document,
// out of reach of the other checks here.
bool startsWithReference (juce::String::CharPointerType p)
{
    for (const auto name : { "amp;", "lt;", "gt;", "quot;", "apos;" })
        if (p.compareIgnoreCaseUpTo (juce::CharPointer_ASCII (name), (int) std::strlen (name)) == 0)
            return true;

    if (*p != '#')
        return false;

    const auto hex = p[1] == 'x' || p[1] == 'X';
    p += hex ? 2 : 1;

    juce::int64 code = 0;
    int digits = 0;

    for (; *p != ';'; ++p)
    {
        const auto digit = hex ? juce::CharacterFunctions::getHexDigitValue (*p) : (*p >= '0' && *p <= '9' ? (int) (*p - '0') : -1);

        if (digit < 0 || ++digits > 7)
            return false;

        code = code * (hex ? 16 : 10) + digit;
    }

    return code > 0 && code <= 0x10ffff;
}

// The framework's text form of a memory block is its size in digits, a dot, and six bits per
// character after that; without a dot the attribute stays text.
bool statesNoMoreBytesThanItHolds (const juce::String& text)
{
    const auto dot = text.indexOfChar ('.');

    if (dot < 0)
        return true;

    const auto size = text.substring (0, dot);

    return size.length() <= 9 && size.containsOnly ("0123456789")
        && size.getLargeIntValue() <= ((juce::int64) (text.length() - dot - 1) * 6 + 7) / 8;
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

// False when the text that getXmlFromBinary would hand to the framework's XML parser is one
// that the parser reads past the end of, loops on forever or recurses on too deeply. Blocks
// whose framing is rejected anyway pass.
bool isSafeForXmlParser (const void* data, int sizeInBytes)
{
    if (sizeInBytes <= 8)
        return true;

    const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

    if (length <= 0)
        return true;

    // The text that the parser is given ends at the first zero byte.
    const auto* bytes = static_cast<const juce::uint8*> (data) + 8;
    const auto numBytes = (int) (std::find (bytes, bytes + juce::jmin (sizeInBytes - 8, length), 0) - bytes);

    if (! isShortestFormUtf8 (bytes, numBytes))
        return false;

    // A few hundred levels stay well inside any thread's stack.
    if (! NestingWalk (bytes, numBytes).staysWithin (256))
        return false;

    const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes), numBytes);

    // A processing instruction inside an element, followed by text, sends the parser round
    // forever; only one at the very start, where the declaration stands, is let through.
    const auto firstInstruction = text.indexOf ("<?");

    if (firstInstruction >= 0
        && (text.substring (0, firstInstruction).trim().isNotEmpty() || text.indexOf (firstInstruction + 2, "<?") >= 0))
        return false;

    // Entities declared by a document type can refer to themselves without end.
    if (text.contains ("<!DOCTYPE"))
        return false;

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        if (p.getAndAdvance() == '&' && ! startsWithReference (p))
            return false;

    return true;
}

// False when a "base64:" attribute anywhere states more bytes than its text holds: the
// framework turns each into a block of the stated size, so a few characters could make it
// allocate gigabytes.
bool hasBoundedRawByteAttributes (const juce::XmlElement& root)
{
    std::vector<const juce::XmlElement*> pending { &root };

    while (! pending.empty())
    {
        const auto* element = pending.back();
        pending.pop_back();

        for (int i = 0; i < element->getNumAttributes(); ++i)
            if (element->getAttributeName (i).startsWith ("base64:") && ! statesNoMoreBytesThanItHolds (element->getAttributeValue (i)))
                return false;

        for (auto* child : element->getChildIterator())
            pending.push_back (child);
    }

    return true;
}

// False when a value that the tree would hand one of the parameters does not read safely as a
// number: NaN slips through the range clamp, and an over-long exponent overflows the reader.
bool hasReadableParameterValues (const juce::ValueTree& restored,
                                 const juce::AudioProcessorValueTreeState& parameters)
{
    for (const auto& child : restored)
    {
        // Only a child whose "id" names a parameter exactly hands that parameter its value.
        if (! child.hasProperty (valueProperty) || parameters.getParameter (child.getProperty (idProperty).toString()) == nullptr)
            continue;

        const auto& value = child.getProperty (valueProperty);

        if ((value.isString() && hasOverlongExponent (value.toString())) || std::isnan ((float) value))
            return false;
    }

    return true;
}

// Appends, in identifier order, a "PARAM" child carrying the current value of each parameter
// that the tree has no child for.
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
} // namespace

juce::ValueTree readSavedState (const void* data, int sizeInBytes, const juce::AudioProcessorValueTreeState& parameters)
{
    if (! isSafeForXmlParser (data, sizeInBytes))
        return {};

    const auto xml = juce::AudioProcessor::getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (parameters.state.getType()) || ! hasBoundedRawByteAttributes (*xml))
        return {};

    auto restored = juce::ValueTree::fromXml (*xml);

    if (! hasReadableParameterValues (restored, parameters))
        return {};

    // replaceState resets a parameter without a child to its default, and a child
    // without a value would carry that loss into every later save.
    addMissingParameterChildren (restored, parameters);
    return restored;
}
