#pragma once

#include "processor/ParameterLayout.h"
#include "processor/TumblewispAudioProcessor.h"

#include <array>

/** Builds, reads and applies saved-state blocks for the state tests. */
struct StateBlock
{
    /** The parameter identifiers in the order the parameter tree first lists them. */
    static constexpr std::array<const char*, 4> ids { ParameterIds::depth, ParameterIds::shape, ParameterIds::speed, ParameterIds::swamp };

    using Values = std::array<float, ids.size()>;

    static const juce::String declaration;

    /** The magic, the given length field, the text and a closing zero byte. */
    static juce::MemoryBlock make (const juce::String& text, int lengthField);

    /** A well-formed block: the length field counts the text. */
    static juce::MemoryBlock make (const juce::String& text);

    /** The declaration and a root element holding the given children. */
    static juce::String document (const juce::String& root, const juce::String& children);

    /** A childless "PARAM" element with the given id and value. */
    static juce::String param (const juce::String& id, const juce::String& value);

    /** A "PARAM" element for every parameter, all with the same value. */
    static juce::String allParams (const juce::String& value);

    /** The text between the header and the closing zero byte. */
    static juce::String textOf (const juce::MemoryBlock& block);

    static juce::MemoryBlock save (TumblewispAudioProcessor& processor);
    static void restore (TumblewispAudioProcessor& processor, const juce::MemoryBlock& block);

    static Values getValues (const TumblewispAudioProcessor& processor);
    static void setValues (TumblewispAudioProcessor& processor, const Values& values);
};
