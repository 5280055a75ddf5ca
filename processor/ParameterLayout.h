#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The parameters' identifiers, by which the processor, the editor, hosts and saved
    states know them; the editor shows them as the knobs' captions. */
namespace ParameterIds
{
constexpr auto speed = "SPEED";
constexpr auto depth = "DEPTH";
constexpr auto swamp = "SWAMP";
constexpr auto shape = "SHAPE";
} // namespace ParameterIds

/** The four automatable parameters, in host index order. */
juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

/** A linear range on a 0.01 grid whose grid points are each a single rounding
    of start + interval * n, so that values such as 0.5 land exactly. */
juce::NormalisableRange<float> makeGridRange (float minimum, float maximum);
