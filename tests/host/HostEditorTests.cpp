#include "support/MessageLoop.h"
#include "support/Palette.h"
#include "support/PluginHost.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

namespace
{
using Rect = juce::Rectangle<int>;

using Palette::background;

struct KnobArea
{
    Rect aroundRing;
    const char* parameterName;
};

// Each knob's ring, 72 pixels across in the middle of its 200 by 80 cell, with a little margin.
const KnobArea knobAreas[] { { { 62, 82, 76, 76 }, "Speed" },
                             { { 262, 82, 76, 76 }, "Depth" },
                             { { 62, 242, 76, 76 }, "Swamp" },
                             { { 262, 242, 76, 76 }, "Shape" } };

// Pink ink round a knob: about 330 pixels for the thin bare ring at the bottom of its
// travel, about 1780 for the thick ring and long pointer at the top.
constexpr int inkAtBottom = 500, inkAtTop = 1400;

int pinkInk (const juce::Image& image, Rect area)
{
    int count = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            // The accent pink or its blend with the background, not the pictures' browns.
            const auto c = image.getPixelAt (x, y);
            count += (int) c.getRed() - (int) c.getGreen() > 40 && c.getBlue() > c.getGreen() ? 1 : 0;
        }
    }

    return count;
}

class HostEditorTest : public testing::TestWithParam<PluginHost::Format>
{
protected:
    void SetUp() override
    {
        juce::String error;
        plugin = PluginHost::load (GetParam(), 44100.0, blockSize, error);
        ASSERT_NE (plugin, nullptr) << error.toStdString();
        plugin->prepareToPlay (44100.0, blockSize);
    }

    void TearDown() override
    {
        if (plugin != nullptr)
            plugin->releaseResources();
    }

    /** Shows the plug-in's view in a window of the host's own, as a DAW does. */
    std::unique_ptr<juce::AudioProcessorEditor> openEditor()
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());

        if (editor == nullptr)
            return nullptr;

        EXPECT_EQ (plugin->getActiveEditor(), editor.get());
        EXPECT_EQ (editor->getLocalBounds(), Rect (400, 400)) << "the size the plug-in asks for";

        editor->setTopLeftPosition (0, 0);
        editor->addToDesktop (0);
        editor->setVisible (true);

        if (GetParam() == PluginHost::Format::lv2)
        {
            // The framework's LV2 host may size the window that holds the plug-in's view
            // before it learns the view's size, leaving it one pixel across until the next
            // resize; one pixel more and back makes it catch up.
            editor->setSize (400, 401);
            dispatchPendingMessages();
            editor->setSize (400, 400);
        }

        return editor;
    }

    void closeEditor (std::unique_ptr<juce::AudioProcessorEditor>& editor)
    {
        plugin->editorBeingDeleted (editor.get());
        editor.reset();
    }

    /** Sets a parameter as host automation does; LV2 control ports reach the plug-in when it runs. */
    void setFromHost (const char* name, float normalisedValue)
    {
        auto* parameter = PluginHost::findParameter (*plugin, name);
        ASSERT_NE (parameter, nullptr) << name;
        parameter->setValueNotifyingHost (normalisedValue);

        juce::AudioBuffer<float> buffer (2, blockSize);
        buffer.clear();
        juce::MidiBuffer midi;
        plugin->processBlock (buffer, midi);
    }

    static bool showsThePluginsWindow (juce::AudioProcessorEditor& editor)
    {
        return dispatchMessagesUntil ([&editor]
        {
            if (editor.getWidth() != 400 || editor.getHeight() != 400)
                return false;

            // The host's own window is black; the plug-in's background shows in the last row.
            const auto shown = ScreenCapture::grab (editor);
            return shown.isValid() && shown.getPixelAt (0, 399) == background && shown.getPixelAt (399, 399) == background;
        });
    }

    static bool showsKnobInk (juce::AudioProcessorEditor& editor, Rect area, bool atTop)
    {
        return dispatchMessagesUntil ([&]
        {
            const auto ink = pinkInk (ScreenCapture::grab (editor), area);
            return atTop ? ink > inkAtTop : ink < inkAtBottom;
        });
    }

    static constexpr int blockSize = 512;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
};
} // namespace

static void PrintTo (PluginHost::Format format, std::ostream* os)
{
    *os << PluginHost::getFormatName (format);
}

TEST_P (HostEditorTest, OpensAt400By400AndItsKnobsFollowTheHost)
{
    ASSERT_TRUE (plugin->hasEditor());
    auto editor = openEditor();
    ASSERT_NE (editor, nullptr);
    ASSERT_TRUE (showsThePluginsWindow (*editor));

    for (const auto& knob : knobAreas)
    {
        SCOPED_TRACE (knob.parameterName);
        setFromHost (knob.parameterName, 0.0f);
        EXPECT_TRUE (showsKnobInk (*editor, knob.aroundRing, false));
        setFromHost (knob.parameterName, 1.0f);
        EXPECT_TRUE (showsKnobInk (*editor, knob.aroundRing, true));
    }

    closeEditor (editor);
}

TEST_P (HostEditorTest, ClosesAndReopensShowingCurrentValues)
{
    for (int round = 0; round < 4; ++round)
    {
        SCOPED_TRACE ("round " + std::to_string (round));
        const auto atTop = round % 2 == 1;
        setFromHost ("Depth", atTop ? 1.0f : 0.0f);

        auto editor = openEditor();
        ASSERT_NE (editor, nullptr);
        ASSERT_TRUE (showsThePluginsWindow (*editor));
        EXPECT_TRUE (showsKnobInk (*editor, knobAreas[1].aroundRing, atTop));

        closeEditor (editor);
        EXPECT_EQ (plugin->getActiveEditor(), nullptr);
        dispatchPendingMessages();
    }
}

INSTANTIATE_TEST_SUITE_P (BuiltBundles,
                          HostEditorTest,
                          testing::ValuesIn (PluginHost::allFormats),
                          [] (const auto& format) { return PluginHost::getFormatName (format.param).toStdString(); });
