#include "processor/TumblewispAudioProcessor.h"
#include "support/EditorInternals.h"

#include <gtest/gtest.h>

namespace
{
using Rect = juce::Rectangle<int>;

constexpr int captionHeight = 24;

struct Placement
{
    const char* name;
    Rect bounds;
};

// In the order the class declares them, which is also the order from back to front.
const Placement placementsAt400[] { { "speedSlider", { 0, 80, 200, 80 } },
                                    { "speedLabel", { 0, 56, 200, 24 } },
                                    { "depthSlider", { 200, 80, 200, 80 } },
                                    { "depthLabel", { 200, 56, 200, 24 } },
                                    { "swampSlider", { 0, 240, 200, 80 } },
                                    { "swampLabel", { 0, 216, 200, 24 } },
                                    { "shapeSlider", { 200, 240, 200, 80 } },
                                    { "shapeLabel", { 200, 216, 200, 24 } },
                                    { "titleLabel", { 0, 160, 400, 80 } } };

/** A grid cell's exact edges, before the framework makes whole pixels of them. */
juce::Rectangle<float> cellOf (int width, int height, int row, int column, int columnSpan)
{
    const auto columnWidth = (float) width / 2.0f;
    const auto rowHeight = (float) height / 5.0f;
    return { (float) column * columnWidth, (float) row * rowHeight, (float) columnSpan * columnWidth, rowHeight };
}

struct Cell
{
    int componentIndex, row, column, columnSpan;
};

// Rows and columns counted from 0: the knobs in rows 1 and 3, the title across row 2.
constexpr Cell cells[] { { 0, 1, 0, 1 }, { 2, 1, 1, 1 }, { 8, 2, 0, 2 }, { 4, 3, 0, 1 }, { 6, 3, 1, 1 } };
} // namespace

TEST (EditorLayout, EveryComponentHasItsBoundsAt400By400)
{
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor (processor);
    const auto components = EditorInternals::components (editor);

    EXPECT_EQ (editor.getLocalBounds(), Rect (0, 0, 400, 400));
    EXPECT_FALSE (editor.isResizable());
    ASSERT_EQ (editor.getNumChildComponents(), (int) components.size());

    for (size_t i = 0; i < components.size(); ++i)
    {
        SCOPED_TRACE (placementsAt400[i].name);
        EXPECT_EQ (editor.getChildComponent ((int) i), components[i]) << "back-to-front order";
        EXPECT_EQ (components[i]->getBounds(), placementsAt400[i].bounds);
        EXPECT_TRUE (components[i]->isVisible());

        const auto inBottomRow = components[i]->getBounds().getIntersection ({ 0, 320, 400, 80 });
        EXPECT_TRUE (inBottomRow.isEmpty());

        const auto inTopRow = components[i]->getBounds().getIntersection ({ 0, 0, 400, 80 });
        const auto isTopCaption = components[i] == components[1] || components[i] == components[3];
        EXPECT_EQ (inTopRow.isEmpty(), ! isTopCaption);
    }
}

TEST (EditorLayout, CaptionsAndTitleReadAsTheSpecifiedText)
{
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor (processor);

    for (auto& knob : EditorInternals::knobs (editor))
    {
        SCOPED_TRACE (knob.id);
        EXPECT_EQ (knob.caption.getText(), knob.id);
        EXPECT_EQ (knob.caption.getJustificationType(), juce::Justification::centred);
        EXPECT_EQ (knob.caption.getAttachedComponent(), &knob.slider);
        EXPECT_FALSE (knob.caption.isAttachedOnLeft());
        EXPECT_EQ (knob.slider.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
        EXPECT_EQ (knob.slider.getTextBoxPosition(), juce::Slider::NoTextBox);
    }

    auto& title = EditorInternals::title (editor);
    EXPECT_EQ (title.getText(), "TUMBLE\nWISP");
    EXPECT_EQ (title.getJustificationType(), juce::Justification::centred);
    EXPECT_EQ (title.getFont().getHeight(), 30.0f);
    EXPECT_EQ (title.getFont().getStyleFlags(), juce::Font::plain);
}

class EditorGrid : public testing::TestWithParam<std::pair<int, int>>
{
};

TEST_P (EditorGrid, FillsTwoColumnsAndFiveRowsAtAnySize)
{
    const auto [width, height] = GetParam();
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor (processor);
    editor.setSize (width, height);

    const auto components = EditorInternals::components (editor);
    const auto wholeCells = width % 2 == 0 && height % 5 == 0;

    for (const auto& c : cells)
    {
        const auto* component = components[(size_t) c.componentIndex];
        SCOPED_TRACE (placementsAt400[c.componentIndex].name);
        const auto cell = cellOf (width, height, c.row, c.column, c.columnSpan);
        const auto bounds = component->getBounds();

        if (wholeCells)
        {
            EXPECT_EQ (bounds, cell.toNearestInt());
        }
        else
        {
            // Edges land on a whole pixel next to the exact one, never further off.
            EXPECT_LT (std::abs ((float) bounds.getX() - cell.getX()), 1.0f);
            EXPECT_LT (std::abs ((float) bounds.getY() - cell.getY()), 1.0f);
            EXPECT_LT (std::abs ((float) bounds.getRight() - cell.getRight()), 1.0f);
            EXPECT_LT (std::abs ((float) bounds.getBottom() - cell.getBottom()), 1.0f);
        }
    }

    // Neighbouring cells leave no gap between them.
    EXPECT_GE (components[0]->getRight(), components[2]->getX());
    EXPECT_GE (components[4]->getRight(), components[6]->getX());
    EXPECT_GE (components[0]->getBottom(), components[8]->getY());
    EXPECT_GE (components[8]->getBottom(), components[4]->getY());
    EXPECT_EQ (components[2]->getRight(), width);
    EXPECT_EQ (components[8]->getWidth(), width);

    for (auto& knob : EditorInternals::knobs (editor))
    {
        SCOPED_TRACE (knob.id);
        const auto k = knob.slider.getBounds();
        EXPECT_EQ (knob.caption.getBounds(), Rect (k.getX(), k.getY() - captionHeight, k.getWidth(), captionHeight));
    }
}

INSTANTIATE_TEST_SUITE_P (Sizes,
                          EditorGrid,
                          testing::Values (std::pair { 400, 400 }, std::pair { 600, 500 }, std::pair { 333, 257 }, std::pair { 401, 403 }),
                          [] (const auto& size) { return std::to_string (size.param.first) + "x" + std::to_string (size.param.second); });
