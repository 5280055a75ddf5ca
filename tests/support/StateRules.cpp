#include "support/StateRules.h"
#include "support/StateBlock.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <regex>

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

// What the framework's parser can be trusted with, read here on its own terms so that the
// processor's screening is held to account rather than repeated.
constexpr int maxLevels = 256;

// UTF-8 in its shortest form, decoded to code points: no cut-off sequence, no over-long
// spelling, no surrogate, nothing past U+10FFFF.
bool isShortestUtf8 (const std::string& text)
{
    for (size_t i = 0; i < text.size();)
    {
        const auto lead = (unsigned char) text[i];
        const auto length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;

        if (length == 0 || i + (size_t) length > text.size())
            return false;

        auto code = length == 1 ? (juce::uint32) lead : (juce::uint32) (lead & (0x7fu >> length));

        for (size_t k = 1; k < (size_t) length; ++k)
        {
            const auto next = (unsigned char) text[i + k];

            if ((next >> 6) != 2)
                return false;

            code = (code << 6) | (next & 0x3fu);
        }

        const juce::uint32 smallest[] { 0, 0, 0x80, 0x800, 0x10000 };

        if (code < smallest[length] || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
            return false;

        i += (size_t) length;
    }

    return true;
}

// The parser loops on a processing instruction inside the document; the declaration,
// first of all, is the one it reads safely.
bool hasNoInstructionButALeadingOne (const std::string& text)
{
    const auto first = text.find ("<?");

    if (first == std::string::npos)
        return true;

    return text.find_first_not_of (" \t\n\v\f\r") == first && text.find ("<?", first + 2) == std::string::npos;
}

// Every '&' starts one of the five named entities (in any case) or a reference of at most
// seven digits to a code point.
bool hasOnlyKnownReferences (const std::string& text)
{
    static const std::regex named ("&(amp|lt|gt|quot|apos);", std::regex::icase);
    static const std::regex numeric ("&#([0-9]{1,7}|[xX][0-9a-fA-F]{1,7});");

    for (auto at = text.find ('&'); at != std::string::npos; at = text.find ('&', at + 1))
    {
        const auto rest = text.substr (at, 12);
        std::smatch match;

        if (std::regex_search (rest, match, named, std::regex_constants::match_continuous))
            continue;

        if (! std::regex_search (rest, match, numeric, std::regex_constants::match_continuous))
            return false;

        const auto digits = match[1].str();
        const auto isHex = digits[0] == 'x' || digits[0] == 'X';
        const auto code = isHex ? std::stoll (digits.substr (1), nullptr, 16) : std::stoll (digits);

        if (code < 1 || code > 0x10ffff)
            return false;
    }

    return true;
}

// The text as the framework's parser takes it, read recursively, element by element: how
// deep its elements go, and whether a character of its markup lies beyond ASCII, where the
// parser's reading would depend on the locale.
class MarkupReading
{
public:
    explicit MarkupReading (const std::string& source) : text (source) {}

    bool isAsciiAndWithin (int levels)
    {
        skipBlanks();

        if (isWide (peek()))
            return false;

        if (peek() == '<' && peek (1) != '/' && peek (1) != '!')
            readElement (1, levels);

        return plain && deepest <= levels;
    }

private:
    // From an element's '<'. Returns false when no element starts there.
    bool readElement (int level, int levels)
    {
        ++at;
        skipBlanks();

        if (! readName())
            return noteNarrow (peek()), false;

        deepest = std::max (deepest, level);

        for (;;)
        {
            skipBlanks();

            if (text.compare (at, 2, "/>") == 0)
                return at += 2, true;

            if (peek() == '>')
            {
                ++at;
                readChildren (level, levels);
                return true;
            }

            if (! readName())
                return noteNarrow (peek()), true;

            skipBlanks();
            noteNarrow (peek());

            if (peek() != '=')
                return at += (at < text.size() ? 1 : 0), true;

            ++at;
            skipBlanks();
            noteNarrow (peek());

            if (peek() != '"' && peek() != '\'')
                return true;

            const auto close = text.find (peek(), at + 1);
            at = close == std::string::npos ? text.size() : close + 1;
        }
    }

    void readChildren (int level, int levels)
    {
        while (plain && deepest <= levels)
        {
            skipBlanks();

            if (at >= text.size())
                return;

            if (text.compare (at, 2, "</") == 0)
            {
                const auto close = text.find ('>', at);
                at = close == std::string::npos ? text.size() : close + 1;
                return;
            }

            if (text.compare (at, 9, "<![CDATA[") == 0)
                skipTo ("]]>", at + 9);
            else if (peek() == '<')
            {
                if (! readElement (level + 1, levels))
                    return;
            }
            else
                at = std::min (text.find ('<', at), text.size());
        }
    }

    void skipBlanks()
    {
        for (;;)
        {
            at = std::min (text.find_first_not_of (" \t\n\v\f\r", at), text.size());

            if (text.compare (at, 4, "<!--") == 0)
                skipTo ("-->", at + 4);
            else if (text.compare (at, 2, "<?") == 0)
                skipTo ("?>", at + 2);
            else
                return;
        }
    }

    void skipTo (const char* end, size_t from)
    {
        const auto found = text.find (end, from);
        at = found == std::string::npos ? text.size() : found + std::strlen (end);
    }

    bool readName()
    {
        const auto start = at;

        while (at < text.size() && (std::isalnum ((unsigned char) text[at]) || std::strchr ("_-:.", text[at]) != nullptr))
            ++at;

        return at > start;
    }

    static bool isWide (char c) { return (unsigned char) c >= 0x80; }
    void noteNarrow (char c) { plain = plain && ! isWide (c); }
    char peek (size_t offset = 0) const { return at + offset < text.size() ? text[at + offset] : '\0'; }

    const std::string& text;
    size_t at = 0;
    int deepest = 0;
    bool plain = true;
};

// An attribute in the framework's form for raw bytes, a byte count, a dot and six bits a
// character, must hold at least the bytes it states.
bool holdsTheBytesItStates (const juce::String& text)
{
    static const std::regex counted ("([0-9]{0,9})[.][\\s\\S]*");
    const auto whole = text.toStdString();
    std::smatch match;

    if (whole.find ('.') == std::string::npos)
        return true;

    if (! std::regex_match (whole, match, counted))
        return false;

    const auto bytes = match[1].length() == 0 ? 0LL : std::stoll (match[1].str());
    const auto characters = (long long) text.fromFirstOccurrenceOf (".", false, false).length();
    return bytes * 8 <= characters * 6 + 7;
}

bool hasBoundedRawBytes (const juce::XmlElement& element)
{
    for (int i = 0; i < element.getNumAttributes(); ++i)
        if (element.getAttributeName (i).startsWith ("base64:") && ! holdsTheBytesItStates (element.getAttributeValue (i)))
            return false;

    for (auto* child : element.getChildIterator())
        if (! hasBoundedRawBytes (*child))
            return false;

    return true;
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

// A value that a parameter would take must read as a number: not NaN, and with an exponent
// of at most nine significant digits, which is what the framework's reader holds.
bool hasReadableValues (const juce::XmlElement& root, const TumblewispAudioProcessor& processor)
{
    static const std::regex longExponent ("[eE][-+0]*[1-9][0-9]{9}");

    for (auto* child : getElementChildren (root))
    {
        const auto id = getProperty (*child, "id");
        const auto value = getProperty (*child, "value");

        if (! id.has_value() || ! value.has_value() || processor.parameters.getParameter (id->toString()) == nullptr)
            continue;

        if (value->isString() && std::regex_search (value->toString().toStdString(), longExponent))
            return false;

        if (std::isnan ((float) *value))
            return false;
    }

    return true;
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
    const auto block = StateBlock::save (processor);
    const auto saved = parseSavedBlock (block, problem);

    if (saved == nullptr)
        return problem;

    if (StateRules::getAcceptedElement (block.getData(), (int) block.getSize(), processor) == nullptr)
        return "the processor's own save would be refused";

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

    StateBlock::restore (reloaded, block);

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

    const auto available = juce::jmin (length, sizeInBytes - 8);
    const auto textLength = (int) (std::find (bytes + 8, bytes + 8 + available, 0) - (bytes + 8));
    const std::string text (bytes + 8, (size_t) textLength);

    if (! isShortestUtf8 (text) || ! hasNoInstructionButALeadingOne (text)
        || text.find ("<!DOCTYPE") != std::string::npos || ! hasOnlyKnownReferences (text))
        return nullptr;

    // The blocks held to these rules are small, so the parser's recursion is safe at any depth they reach.
    auto xml = juce::parseXML (juce::String::fromUTF8 (text.data(), textLength));

    if (xml == nullptr || ! equalIgnoringCase (xml->getTagName(), processor.parameters.state.getType().toString()))
        return nullptr;

    if (! MarkupReading (text).isAsciiAndWithin (maxLevels) || ! hasBoundedRawBytes (*xml) || ! hasReadableValues (*xml, processor))
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
