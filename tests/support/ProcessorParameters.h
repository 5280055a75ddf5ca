#pragma once

#include "processor/TumblewispAudioProcessor.h"
#include "support/ReferenceTremolo.h"

/** Sets a parameter from a value in its own range, as a host's automation does. */
void setParameter (TumblewispAudioProcessor& processor, const juce::String& id, float value);

/** Sets all four parameters from values in their own ranges. */
void setParameters (TumblewispAudioProcessor& processor, ReferenceTremolo::Parameters values);

/** The raw values the processor's next block will read. */
ReferenceTremolo::Parameters currentParameters (const TumblewispAudioProcessor& processor);
