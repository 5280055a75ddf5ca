#pragma once

#include <juce_core/juce_core.h>

/** Walks a saved block's text the way the framework's XML parser does and tells whether
    any element starts deeper than a given number of levels: the parser recurses once per
    level, and deep enough nesting runs the calling thread out of stack. Where the walk
    and the parser could part, the walk counts a level the parser might not open, never a
    closing it might not make. Markup must be plain ASCII: the parser classes other
    characters by the host's locale. */
class NestingWalk
{
public:
    NestingWalk (const juce::uint8* bytes, int numBytes);

    /** False when an element starts deeper than maxDepth levels, or markup holds a
        character beyond ASCII. */
    bool staysWithin (int maxDepth);

private:
    bool readTag (int maxDepth);
    bool readName();
    void skipSpaceAndComments();
    bool skipPast (const char* pattern);
    bool startsWith (const char* pattern) const;

    bool atEnd() const { return position >= size; }
    juce::uint8 at (int offset) const { return position + offset < size ? text[position + offset] : 0; }

    const juce::uint8* text;
    const int size;
    int position = 0;
    int depth = 0;
};
