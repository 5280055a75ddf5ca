#pragma once

#include "processor/TumblewispAudioProcessor.h"

/** An independent reading of what restoring a block must do, to hold the
    processor against: either nothing changes, or the block's element replaces
    the tree and every parameter it names takes its value on the grid. */
struct StateRules
{
    /** The element a block must be restored from, or nullptr when it must change nothing. */
    static std::unique_ptr<juce::XmlElement> getAcceptedElement (const void* data,
                                                                 int sizeInBytes,
                                                                 const TumblewispAudioProcessor& processor);

    /** Restores the block and returns what broke the rules, or an empty string.
        reloaded is a second processor that the resulting save is loaded into. */
    static juce::String restoreAndCheck (TumblewispAudioProcessor& processor,
                                         TumblewispAudioProcessor& reloaded,
                                         const void* data,
                                         int sizeInBytes);
};
