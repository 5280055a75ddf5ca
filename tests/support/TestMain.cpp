#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <X11/Xlib.h>

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    // Xlib's default handler ends the process on any error. The framework installs its
    // forgiving one only in its own applications, and its windows name atoms that a bare
    // X server without a window manager has not created, as a host's handler tolerates.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });

    // Parameters, value trees and plug-in hosting expect the framework's message manager.
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}
