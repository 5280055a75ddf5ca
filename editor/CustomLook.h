#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The editor's palette, its display typeface and its knob drawing. */
class CustomLook : public juce::LookAndFeel_V4
{
public:
    CustomLook();
    ~CustomLook() override;

    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float minSliderPos, float maxSliderPos,
                           juce::Slider::SliderStyle, juce::Slider&) override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;

    const juce::Colour backgroundColour { 0xfff1dede };
    const juce::Colour fillColour { 0xff3f3244 };
    const juce::Colour accentColour { 0xfffc9fb1 };
    const bool shouldFill = false;
    const float maxThickness = 5.0f;

private:
    int getOutlineThickness (double proportion) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLook)
};
