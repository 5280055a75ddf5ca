#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <initializer_list>

/** The layout a host asks for: these input and output buses, the main one first. */
inline juce::AudioProcessor::BusesLayout makeLayout (std::initializer_list<juce::AudioChannelSet> inputs,
                                                     std::initializer_list<juce::AudioChannelSet> outputs)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.addArray (inputs);
    layout.outputBuses.addArray (outputs);
    return layout;
}
