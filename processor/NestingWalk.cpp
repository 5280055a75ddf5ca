#include "processor/NestingWalk.h"

#include <cstring>

namespace
{
bool isSpace (juce::uint8 c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isPlainAscii (juce::uint8 c) { return c < 0x80; }

bool isNameCharacter (juce::uint8 c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || c == '_' || c == '-' || c == ':' || c == '.';
}
} // namespace

NestingWalk::NestingWalk (const juce::uint8* bytes, int numBytes) : text (bytes), size (numBytes) {}

bool NestingWalk::staysWithin (int maxDepth)
{
    for (;;)
    {
        skipSpaceAndComments();

        if (atEnd())
            return true;

        if (at (0) != '<')
        {
            // No root element, and the parser stops here: unless the locale takes the
            // character for white space and the parser goes on.
            if (depth == 0)
                return isPlainAscii (at (0));

            while (! atEnd() && at (0) != '<')
                ++position;
        }
        else if (at (1) == '/')
        {
            depth = juce::jmax (0, depth - 1);

            if (depth == 0 || ! skipPast (">"))
                return true; // the root is closed, and the parser reads no further
        }
        else if (startsWith ("<![CDATA["))
        {
            if (! skipPast ("]]>"))
                return true;
        }
        else if (! readTag (maxDepth))
        {
            return false;
        }
        else if (depth == 0)
        {
            return true; // an empty or broken root ends the document
        }
    }
}

// Reads a tag from its '<' up to where the parser would go on: its content, what follows
// it, or the character it stops at. False when the markup breaks the rules of the walk.
bool NestingWalk::readTag (int maxDepth)
{
    ++position;
    skipSpaceAndComments();

    if (! readName())
        return isPlainAscii (at (0)); // no element: the parser goes on from here

    if (depth >= maxDepth)
        return false;

    for (;;)
    {
        skipSpaceAndComments();

        if (atEnd())
            return true;

        if (at (0) == '/' && at (1) == '>')
        {
            position += 2;
            return true;
        }

        if (at (0) == '>')
        {
            ++position;
            ++depth;
            return true;
        }

        if (! readName())
            return isPlainAscii (at (0)); // the parser stops at this character and goes on with the text

        skipSpaceAndComments();

        if (atEnd() || at (0) != '=')
        {
            if (! isPlainAscii (at (0)))
                return false;

            position += atEnd() ? 0 : 1; // the parser has taken this character as read
            return true;
        }

        ++position;
        skipSpaceAndComments();

        if (atEnd() || (at (0) != '"' && at (0) != '\''))
            return isPlainAscii (at (0)); // the element ends unopened, and the parser goes on with the text

        const char quote[] { (char) at (0), 0 };
        ++position;

        if (! skipPast (quote))
            return true;
    }
}

bool NestingWalk::readName()
{
    const auto start = position;

    while (! atEnd() && isNameCharacter (at (0)))
        ++position;

    return position > start;
}

void NestingWalk::skipSpaceAndComments()
{
    for (;;)
    {
        while (! atEnd() && isSpace (at (0)))
            ++position;

        // As the parser does, the search for the end starts after the whole opening.
        const auto isComment = startsWith ("<!--");

        if (! isComment && ! startsWith ("<?"))
            return;

        position += isComment ? 4 : 2;

        if (! skipPast (isComment ? "-->" : "?>"))
            return;
    }
}

// Moves past the next occurrence of the pattern, or to the end when there is none.
bool NestingWalk::skipPast (const char* pattern)
{
    for (; position < size; ++position)
    {
        if (startsWith (pattern))
        {
            position += (int) std::strlen (pattern);
            return true;
        }
    }

    return false;
}

bool NestingWalk::startsWith (const char* pattern) const
{
    const auto length = (int) std::strlen (pattern);
    return position + length <= size && std::memcmp (text + position, pattern, (size_t) length) == 0;
}
