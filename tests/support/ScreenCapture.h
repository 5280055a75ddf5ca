#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Reads back from the X server what a window on the desktop shows, including
    windows embedded in it by other code, such as a hosted plug-in's view. */
class ScreenCapture
{
public:
    /** The component's window as it is on screen, or an invalid image if it has none. */
    static juce::Image grab (juce::Component& onDesktop);
};
