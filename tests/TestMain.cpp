#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    // Parameters, value trees and plug-in hosting expect the framework's message manager.
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}
