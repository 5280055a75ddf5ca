#include "editor/CustomLook.h"
#include "support/Palette.h"
#include "support/RecordingContext.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace
{
using Palette::accent;
using Palette::plum;
constexpr float tolerance = 1.0e-3f;

juce::Rectangle<float> boundsOf (const std::vector<juce::Point<float>>& points)
{
    return juce::Rectangle<float>::findAreaContainingPoints (points.data(), (int) points.size());
}

void expectNear (juce::Rectangle<float> actual, juce::Rectangle<float> expected)
{
    EXPECT_NEAR (actual.getX(), expected.getX(), tolerance);
    EXPECT_NEAR (actual.getY(), expected.getY(), tolerance);
    EXPECT_NEAR (actual.getWidth(), expected.getWidth(), tolerance);
    EXPECT_NEAR (actual.getHeight(), expected.getHeight(), tolerance);
}

/** Checks the colours set and the colour of every fill: the plum is set but never drawn in. */
void expectOnlyAccentDrawn (const RecordingContext& drawn, const std::vector<juce::Colour>& coloursSet)
{
    EXPECT_EQ (drawn.unrecordedCalls, 0);
    EXPECT_EQ (drawn.coloursSet, coloursSet);

    for (const auto& fill : drawn.fills)
        EXPECT_EQ (fill.colour, accent);
}

/** The framework outlines a circle as the even-odd fill between two ellipses,
    the circle grown and shrunk by half the line thickness.
*/
void expectRing (const RecordingContext::Fill& fill, juce::Rectangle<float> circle, float thickness)
{
    ASSERT_EQ (fill.subPaths.size(), 2u);
    EXPECT_FALSE (fill.usesNonZeroWinding);
    expectNear (boundsOf (fill.subPaths[0]), circle.expanded (thickness / 2.0f));
    expectNear (boundsOf (fill.subPaths[1]), circle.reduced (thickness / 2.0f));
}

/** The framework outlines a rectangle as four filled strips: top, bottom, left, right. */
void expectOutline (const RecordingContext::Fill& fill, juce::Rectangle<float> area, float thickness)
{
    ASSERT_EQ (fill.rectangles.size(), 4u);
    juce::RectangleList<float> strips;

    for (auto strip : fill.rectangles)
        strips.addWithoutMerging (strip);

    expectNear (strips.getBounds(), area);
    EXPECT_EQ (fill.rectangles[0].getHeight(), thickness);
    EXPECT_EQ (fill.rectangles[2].getWidth(), thickness);
}

struct KnobCase
{
    const char* name;
    juce::Rectangle<int> area;
    float position;
    double value;
    juce::Rectangle<float> circle;
    float ringThickness;
    juce::Point<float> pointerTip, pointerBase;
    float pointerWidth, angleDegrees;
};

/** The pointer is a rectangle from its tip on the rim to its base, turned by the angle. */
void expectPointer (const RecordingContext::Fill& fill, const KnobCase& knob)
{
    ASSERT_EQ (fill.subPaths.size(), 1u);
    EXPECT_TRUE (fill.usesNonZeroWinding);

    const auto angle = juce::degreesToRadians (knob.angleDegrees);
    const auto across = juce::Point<float> (std::cos (angle), std::sin (angle)) * (knob.pointerWidth / 2.0f);
    const juce::Point<float> corners[] { knob.pointerTip - across, knob.pointerTip + across,
                                         knob.pointerBase - across, knob.pointerBase + across };

    auto unmatched = fill.subPaths.front();
    ASSERT_EQ (unmatched.size(), 4u);

    for (auto corner : corners)
    {
        const auto match = std::find_if (unmatched.begin(), unmatched.end(),
                                         [corner] (auto point) { return point.getDistanceFrom (corner) < tolerance; });

        if (match == unmatched.end())
            ADD_FAILURE() << "no pointer corner at " << corner.toString();
        else
            unmatched.erase (match);
    }
}

RecordingContext drawKnob (juce::Rectangle<int> area, float position, double value)
{
    CustomLook look;
    juce::Slider knob;
    knob.setRange (0.0, 1.0);
    knob.setValue (value, juce::dontSendNotification);
    const auto angles = knob.getRotaryParameters();

    RecordingContext drawn;
    juce::Graphics g (drawn);
    look.drawRotarySlider (g, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                           position, angles.startAngleRadians, angles.endAngleRadians, knob);
    return drawn;
}

RecordingContext drawBar (juce::Rectangle<int> area, double value, juce::Slider::SliderStyle style)
{
    CustomLook look;
    juce::Slider bar (style, juce::Slider::NoTextBox);
    bar.setRange (0.0, 1.0);
    bar.setValue (value, juce::dontSendNotification);

    RecordingContext drawn;
    juce::Graphics g (drawn);
    look.drawLinearSlider (g, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                           0.0f, 0.0f, 0.0f, style, bar);
    return drawn;
}

const juce::Rectangle<float> knobCircle { 64.0f, 4.0f, 72.0f, 72.0f };

// Thickness is trunc (5 p) in double precision, at least 1: the values just below each
// step would reach it in single precision.
constexpr struct { double value; float thickness; } thicknessSteps[] {
    { 0.0, 1.0f }, { 0.2, 1.0f }, { 0.39999999, 1.0f }, { 0.4, 2.0f }, { 0.59999999, 2.0f }, { 0.6, 3.0f },
    { 0.79999999, 3.0f }, { 0.8, 4.0f }, { 0.99999999, 4.0f }, { 1.0, 5.0f }
};
} // namespace

TEST (SliderDrawing, KnobFollowsTheWorkedGeometry)
{
    const KnobCase cases[] {
        { "200x80 at 0: no pointer", { 0, 0, 200, 80 }, 0.0f, 0.0, knobCircle, 1.0f,
          { 78.8397f, 69.1246f }, { 78.8397f, 69.1246f }, 0.0f, 216.0f },
        { "200x80 at 0.5: pointer straight up", { 0, 0, 200, 80 }, 0.5f, 0.5, knobCircle, 2.0f,
          { 100.0f, 4.0f }, { 100.0f, 33.7f }, 5.0f, 360.0f },
        { "200x80 at 1: pointer through the centre", { 0, 0, 200, 80 }, 1.0f, 1.0, knobCircle, 5.0f,
          { 121.1603f, 69.1246f }, { 86.2458f, 21.0690f }, 10.0f, 504.0f },
        { "angle from the position, size from the value", { 0, 0, 200, 80 }, 0.5f, 1.0, knobCircle, 5.0f,
          { 100.0f, 4.0f }, { 100.0f, 63.4f }, 10.0f, 360.0f },
        { "odd size keeps the half pixel in the centre only", { 0, 0, 201, 81 }, 0.5f, 0.5, { 64.5f, 4.5f, 72.0f, 72.0f }, 2.0f,
          { 100.5f, 4.5f }, { 100.5f, 34.2f }, 5.0f, 360.0f },
        { "offset area", { 10, 20, 200, 80 }, 0.5f, 0.5, { 74.0f, 24.0f, 72.0f, 72.0f }, 2.0f,
          { 110.0f, 24.0f }, { 110.0f, 53.7f }, 5.0f, 360.0f },
        { "width 10: radius 1", { 0, 0, 10, 80 }, 0.5f, 0.5, { 4.0f, 39.0f, 2.0f, 2.0f }, 2.0f,
          { 5.0f, 39.0f }, { 5.0f, 39.825f }, 5.0f, 360.0f },
        { "width 9: radius 0", { 0, 0, 9, 80 }, 0.5f, 0.5, { 4.5f, 40.0f, 0.0f, 0.0f }, 2.0f,
          { 4.5f, 40.0f }, { 4.5f, 40.0f }, 5.0f, 360.0f },
        { "width 8: radius 0", { 0, 0, 8, 80 }, 0.5f, 0.5, { 4.0f, 40.0f, 0.0f, 0.0f }, 2.0f,
          { 4.0f, 40.0f }, { 4.0f, 40.0f }, 5.0f, 360.0f },
        { "width 6: radius -1", { 0, 0, 6, 80 }, 0.5f, 0.5, { 4.0f, 41.0f, -2.0f, -2.0f }, 2.0f,
          { 3.0f, 41.0f }, { 3.0f, 40.175f }, 5.0f, 360.0f },
    };

    for (const auto& knob : cases)
    {
        SCOPED_TRACE (knob.name);
        const auto drawn = drawKnob (knob.area, knob.position, knob.value);

        expectOnlyAccentDrawn (drawn, { plum, accent });
        ASSERT_EQ (drawn.fills.size(), 2u);
        expectRing (drawn.fills[0], knob.circle, knob.ringThickness);
        expectPointer (drawn.fills[1], knob);
    }
}

TEST (SliderDrawing, OutlineThicknessStepsWithTheValue)
{
    for (const auto& step : thicknessSteps)
    {
        SCOPED_TRACE (step.value);

        const auto knob = drawKnob ({ 0, 0, 200, 80 }, (float) step.value, step.value);
        ASSERT_EQ (knob.fills.size(), 2u);
        expectRing (knob.fills[0], knobCircle, step.thickness);

        const auto bar = drawBar ({ 0, 0, 40, 80 }, step.value, juce::Slider::LinearVertical);
        ASSERT_EQ (bar.fills.size(), 2u);
        expectOutline (bar.fills[1], { 0.0f, 0.0f, 40.0f, 80.0f }, step.thickness);
    }
}

TEST (SliderDrawing, BarRisesFromTheBottomInsideItsFrame)
{
    const struct
    {
        const char* name;
        juce::Rectangle<int> area;
        double value;
        juce::Slider::SliderStyle style;
        juce::Rectangle<float> bar;
        float thickness;
    } cases[] {
        { "p 0.5", { 0, 0, 40, 80 }, 0.5, juce::Slider::LinearVertical, { 0.0f, 40.0f, 40.0f, 40.0f }, 2.0f },
        { "p 1", { 0, 0, 40, 80 }, 1.0, juce::Slider::LinearVertical, { 0.0f, 0.0f, 40.0f, 80.0f }, 5.0f },
        { "p 0.33: top and height truncated apart", { 0, 0, 40, 80 }, 0.33, juce::Slider::LinearVertical, { 0.0f, 53.0f, 40.0f, 26.0f }, 1.0f },
        { "offset area", { 5, 10, 40, 80 }, 0.33, juce::Slider::LinearVertical, { 5.0f, 63.0f, 40.0f, 26.0f }, 1.0f },
        { "horizontal style rises too", { 0, 0, 40, 80 }, 0.5, juce::Slider::LinearHorizontal, { 0.0f, 40.0f, 40.0f, 40.0f }, 2.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto drawn = drawBar (c.area, c.value, c.style);

        expectOnlyAccentDrawn (drawn, { plum, accent, accent });
        ASSERT_EQ (drawn.fills.size(), 2u);
        expectOutline (drawn.fills[0], c.bar, c.thickness);
        expectOutline (drawn.fills[1], c.area.toFloat(), c.thickness);
    }
}

TEST (SliderDrawing, EmptyBarAtZeroLeavesOnlyTheFrame)
{
    const auto drawn = drawBar ({ 0, 0, 40, 80 }, 0.0, juce::Slider::LinearVertical);

    // The bar (0, 80, 40, 0) has no area, so its outline reaches the context as no strips at all.
    expectOnlyAccentDrawn (drawn, { plum, accent, accent });
    ASSERT_EQ (drawn.fills.size(), 2u);
    EXPECT_TRUE (drawn.fills[0].rectangles.empty());
    expectOutline (drawn.fills[1], { 0.0f, 0.0f, 40.0f, 80.0f }, 1.0f);
}

TEST (SliderDrawing, KnobPaintsThroughTheSlider)
{
    const juce::Colour clear;
    const struct
    {
        double value;
        int x, y;
        juce::Colour colour;
    } cases[] {
        { 0.5, 100, 4, accent },   // ring top under the pointer
        { 0.5, 100, 75, accent },  // ring bottom
        { 0.5, 100, 20, accent },  // pointer
        { 0.5, 100, 40, clear },   // below the pointer's end: no filled body
        { 0.5, 10, 10, clear },    // outside the ring
        { 0.0, 100, 20, clear },   // no pointer at 0
        { 1.0, 100, 40, accent },  // pointer through the centre at 1
    };

    CustomLook look;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.value) + " at " + juce::String (c.x) + ", " + juce::String (c.y));

        juce::Slider knob (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox);
        knob.setLookAndFeel (&look);
        knob.setRange (0.0, 1.0);
        knob.setValue (c.value, juce::dontSendNotification);
        knob.setBounds (0, 0, 200, 80);

        const auto image = knob.createComponentSnapshot (knob.getLocalBounds());
        EXPECT_EQ (image.getPixelAt (c.x, c.y), c.colour);
        knob.setLookAndFeel (nullptr);
    }
}
