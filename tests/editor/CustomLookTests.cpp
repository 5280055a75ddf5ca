#include "editor/CustomLook.h"
#include "support/Palette.h"

#include <gtest/gtest.h>

TEST (CustomLook, SetsTheLabelTextAndWindowBackgroundColours)
{
    const CustomLook look;
    const juce::LookAndFeel_V4 framework;

    EXPECT_EQ (look.findColour (juce::Label::textColourId), Palette::accent);
    EXPECT_EQ (look.findColour (juce::ResizableWindow::backgroundColourId), Palette::background);
    EXPECT_EQ (look.findColour (juce::Slider::thumbColourId), framework.findColour (juce::Slider::thumbColourId));
}

TEST (CustomLook, AllLooksShareOneTypefaceThatOutlivesThem)
{
    auto& defaultLook = juce::LookAndFeel::getDefaultLookAndFeel();
    const juce::Font labelFont (15.0f);
    juce::Typeface::Ptr installed;

    {
        std::vector<std::unique_ptr<CustomLook>> looks;
        looks.push_back (std::make_unique<CustomLook>());

        installed = defaultLook.getTypefaceForFont (labelFont);
        ASSERT_NE (installed, nullptr);
        EXPECT_EQ (installed->getName(), "Bebas Neue");
        EXPECT_EQ (installed->getStyle(), "Regular");

        for (int i = 0; i < 3; ++i)
        {
            looks.push_back (std::make_unique<CustomLook>());
            EXPECT_EQ (defaultLook.getTypefaceForFont (labelFont), installed);
        }

        // The typeface goes to the default look-and-feel, not to the look itself.
        EXPECT_NE (looks.front()->getTypefaceForFont (labelFont), installed);
    }

    EXPECT_EQ (defaultLook.getTypefaceForFont (labelFont), installed);

    const juce::Label caption;
    EXPECT_EQ (caption.getFont().getTypefacePtr(), installed);
}
