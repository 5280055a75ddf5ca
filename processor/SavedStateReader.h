#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Reads a block that the host hands back into the tree that the parameter tree should
    take, with a "PARAM" child carrying the current value of each parameter that the block
    leaves out. Gives an invalid tree when the block must change nothing: it is not one of
    ours, or the framework's readers could not be trusted with it. */
juce::ValueTree readSavedState (const void* data, int sizeInBytes, const juce::AudioProcessorValueTreeState& parameters);
