#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** False when the text that getXmlFromBinary would hand to the framework's XML
    parser is one that the parser reads past the end of, loops on forever or
    recurses on without end. Blocks whose framing is rejected anyway pass. */
bool isSafeForXmlParser (const void* data, int sizeInBytes);

/** True when no child of a tree read from a saved block would hand one of the
    parameters a value that is not a number. */
bool hasOnlyNumericParameterValues (const juce::ValueTree& restored,
                                    const juce::AudioProcessorValueTreeState& parameters);

/** Appends to a tree read from a saved block, in identifier order, a "PARAM"
    child carrying the current value of each parameter that it has no child for. */
void addMissingParameterChildren (juce::ValueTree& restored,
                                  const juce::AudioProcessorValueTreeState& parameters);
