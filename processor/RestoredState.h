#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** False when the text that getXmlFromBinary would hand to the framework's XML
    parser is one that the parser reads past the end of, loops on forever or
    recurses on too deeply. Blocks whose framing is rejected anyway pass. */
bool isSafeForXmlParser (const void* data, int sizeInBytes);

/** True when no "base64:" attribute anywhere in the element states more bytes than
    its text holds. The framework turns each into a block of raw bytes of the stated
    size, so a few characters could otherwise make it allocate gigabytes. */
bool hasBoundedRawByteAttributes (const juce::XmlElement& root);

/** True when every value that a tree read from a saved block would hand one of
    the parameters reads safely as a number: not as NaN, which slips through the
    range clamp, and without an exponent too long for the framework's reader. */
bool hasReadableParameterValues (const juce::ValueTree& restored,
                                 const juce::AudioProcessorValueTreeState& parameters);

/** Appends to a tree read from a saved block, in identifier order, a "PARAM"
    child carrying the current value of each parameter that it has no child for. */
void addMissingParameterChildren (juce::ValueTree& restored,
                                  const juce::AudioProcessorValueTreeState& parameters);
