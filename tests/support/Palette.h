#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor's colours as they are specified, which what it draws is held to. */
namespace Palette
{
const juce::Colour background { 0xfff1dede };
const juce::Colour accent { 0xfffc9fb1 };
const juce::Colour plum { 0xff3f3244 };
} // namespace Palette
