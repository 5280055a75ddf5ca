#include "editor/CustomLook.h"

#include "BinaryData.h"

CustomLook::CustomLook()
{
    setColour (juce::Label::textColourId, accentColour);
    setColour (juce::ResizableWindow::backgroundColourId, backgroundColour);

    // Made once per loaded module and shared by every editor of every instance.
    static const juce::Typeface::Ptr displayTypeface =
        juce::Typeface::createSystemTypefaceFor (BinaryData::displayFont, (size_t) BinaryData::displayFontSize);

    // Fonts resolve their typeface through the default look-and-feel, whatever
    // look-and-feel draws them, so that is where the typeface has to go.
    juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (displayTypeface);
}

CustomLook::~CustomLook() = default;

int CustomLook::getOutlineThickness (double proportion) const
{
    return juce::jmax (1, (int) ((double) maxThickness * proportion));
}

void CustomLook::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                   float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                                   juce::Slider& slider)
{
    const auto radius = (float) juce::jmin (width / 2, height / 2) - 4.0f;
    const auto centreX = (float) x + (float) width * 0.5f;
    const auto centreY = (float) y + (float) height * 0.5f;
    const auto left = centreX - radius;
    const auto top = centreY - radius;
    const auto diameter = radius * 2.0f;
    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);

    // Thickness and pointer size follow the value; the angle follows the drawn position.
    const auto proportion = slider.valueToProportionOfLength (slider.getValue());

    g.setColour (fillColour);

    if (shouldFill)
        g.fillEllipse (left, top, diameter, diameter);

    g.setColour (accentColour);
    g.drawEllipse (left, top, diameter, diameter, (float) getOutlineThickness (proportion));

    const auto pointerWidth = (float) ((2.0f * maxThickness) * proportion);
    const auto pointerLength = (float) ((0.33f * radius * maxThickness) * proportion);

    juce::Path pointer;
    pointer.addRectangle (-pointerWidth / 2.0f, -radius, pointerWidth, pointerLength);
    pointer.applyTransform (juce::AffineTransform::rotation (angle).translated (centreX, centreY));
    g.fillPath (pointer);
}

void CustomLook::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height,
                                   float, float, float,
                                   juce::Slider::SliderStyle, juce::Slider& slider)
{
    const auto proportion = slider.valueToProportionOfLength (slider.getValue());
    const auto thickness = (float) getOutlineThickness (proportion);

    g.setColour (fillColour);

    const auto barTop = (int) ((1.0 - proportion) * height + y);
    const auto barHeight = (int) (proportion * height);

    if (shouldFill)
    {
        g.fillRect (x, barTop, width, barHeight);
    }
    else
    {
        g.setColour (accentColour);
        g.drawRect (juce::Rectangle<float> ((float) x, (float) barTop, (float) width, (float) barHeight), thickness);
    }

    g.setColour (accentColour);
    g.drawRect (juce::Rectangle<float> ((float) x, (float) y, (float) width, (float) height), thickness);
}
