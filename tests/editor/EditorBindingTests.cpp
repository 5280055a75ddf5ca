#include "processor/ParameterLayout.h"
#include "processor/TumblewispAudioProcessor.h"
#include "support/EditorInternals.h"
#include "support/MessageLoop.h"
#include "support/ProcessorParameters.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <thread>

namespace
{
struct KnobRange
{
    const char* id;
    double minimum, maximum;
    double parameterMinimum;
};

// The knobs' own ranges: SWAMP and SHAPE stop at 0.1 although their parameters go down to 0.
constexpr KnobRange knobRanges[] { { ParameterIds::speed, 0.1f, 5.0, 0.1f },
                                   { ParameterIds::depth, 0.1f, 1.0, 0.1f },
                                   { ParameterIds::swamp, 0.1f, 1.0, 0.0 },
                                   { ParameterIds::shape, 0.1f, 1.0, 0.0 } };

const KnobRange& rangeOf (const juce::String& id)
{
    for (const auto& r : knobRanges)
        if (id == r.id)
            return r;

    jassertfalse;
    return knobRanges[0];
}

float valueOf (TumblewispAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

/** Opens and closes the editor the way the plug-in wrappers do. */
struct OpenEditor
{
    explicit OpenEditor (TumblewispAudioProcessor& p)
        : processor (p),
          editor (dynamic_cast<TumblewispAudioProcessorEditor*> (p.createEditorIfNeeded()))
    {
    }

    ~OpenEditor()
    {
        processor.editorBeingDeleted (editor.get());
    }

    juce::Slider& knob (const char* id) { return EditorInternals::knob (*editor, id); }

    TumblewispAudioProcessor& processor;
    std::unique_ptr<TumblewispAudioProcessorEditor> editor;
};

/** Records what a host sees of one parameter's changes and gestures. */
struct GestureLog : private juce::AudioProcessorParameter::Listener
{
    explicit GestureLog (juce::AudioProcessorParameter& p) : parameter (p) { parameter.addListener (this); }
    ~GestureLog() override { parameter.removeListener (this); }

    void parameterValueChanged (int, float) override
    {
        ++changes;
        changesOutsideGesture += openGestures == 1 ? 0 : 1;
    }

    void parameterGestureChanged (int, bool starting) override
    {
        openGestures += starting ? 1 : -1;
        (starting ? begins : ends) += 1;
    }

    juce::AudioProcessorParameter& parameter;
    int changes = 0, changesOutsideGesture = 0, openGestures = 0, begins = 0, ends = 0;
};

/** Feeds the editor's window the mouse events a windowing system would deliver. */
class Mouse
{
public:
    explicit Mouse (juce::Component& windowToUse) : window (windowToUse)
    {
        window.addToDesktop (0);
        window.setVisible (true);
    }

    ~Mouse() { window.removeFromDesktop(); }

    void drag (juce::Component& target, juce::Point<float> distance)
    {
        const auto start = centreOf (target);
        send (start, {});
        send (start, button);
        send (start + distance * 0.5f, button);
        send (start + distance, button);
        send (start + distance, {});
    }

    void doubleClick (juce::Component& target)
    {
        for (int click = 0; click < 2; ++click)
        {
            send (centreOf (target), button);
            send (centreOf (target), {});
        }
    }

    void altClick (juce::Component& target)
    {
        // Keyboard modifiers reach mouse events through the state the key events keep.
        const juce::ScopedValueSetter<juce::ModifierKeys> altHeld (juce::ModifierKeys::currentModifiers,
                                                                   juce::ModifierKeys (juce::ModifierKeys::altModifier));
        send (centreOf (target), button);
        send (centreOf (target), {});
    }

private:
    juce::Point<float> centreOf (juce::Component& target) const
    {
        return window.getLocalArea (&target, target.getLocalBounds()).getCentre().toFloat();
    }

    void send (juce::Point<float> position, juce::ModifierKeys mods)
    {
        // Events a few milliseconds apart, and never behind those of an earlier window.
        static auto time = juce::Time::currentTimeMillis();
        time = juce::jmax (time + 20, juce::Time::currentTimeMillis());

        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                                            position,
                                            mods,
                                            juce::MouseInputSource::defaultPressure,
                                            juce::MouseInputSource::defaultOrientation,
                                            time);
    }

    juce::Component& window;
    const juce::ModifierKeys button { juce::ModifierKeys::leftButtonModifier };
};

struct DragCase
{
    const char* id;
    std::optional<float> hostValue;
    float dx, dy;
};

// The framework's absolute drag: right and up both turn the knob up, 250 pixels for its whole travel.
constexpr double pixelsForFullTravel = 250.0;

const DragCase dragCases[] { { ParameterIds::speed, {}, 40.0f, -10.0f },
                             { ParameterIds::speed, 1.0f, 400.0f, 0.0f },
                             { ParameterIds::depth, {}, 0.0f, 30.0f },
                             { ParameterIds::swamp, 0.05f, 25.0f, 0.0f },
                             { ParameterIds::shape, {}, 13.0f, 0.0f },
                             { ParameterIds::shape, 0.8f, -300.0f, 0.0f } };
} // namespace

TEST (EditorBinding, KnobsKeepTheirOwnLinearRangesWithoutSteps)
{
    TumblewispAudioProcessor processor;
    OpenEditor open (processor);
    ASSERT_NE (open.editor, nullptr) << "the processor makes the plug-in's own editor";

    for (const auto& r : knobRanges)
    {
        SCOPED_TRACE (r.id);
        auto& knob = open.knob (r.id);
        EXPECT_EQ (knob.getMinimum(), r.minimum);
        EXPECT_EQ (knob.getMaximum(), r.maximum);
        EXPECT_EQ (knob.getInterval(), 0.0);
        EXPECT_NEAR (knob.getSkewFactor(), 1.0, 1.0e-7);
        EXPECT_NEAR (knob.valueToProportionOfLength ((r.minimum + r.maximum) / 2.0), 0.5, 1.0e-7);
        EXPECT_NEAR (knob.valueToProportionOfLength (r.minimum + 0.25 * (r.maximum - r.minimum)), 0.25, 1.0e-7);
        EXPECT_TRUE (knob.isDoubleClickReturnEnabled());
        EXPECT_EQ (knob.getDoubleClickReturnValue(), 0.5);
        EXPECT_EQ (knob.getValue(), 0.5);
    }
}

TEST (EditorBinding, DraggingAKnobSetsItsParameterOnTheGridInOneGesture)
{
    for (const auto& c : dragCases)
    {
        SCOPED_TRACE (juce::String (c.id) + " dragged by " + juce::String (c.dx) + ", " + juce::String (c.dy));
        TumblewispAudioProcessor processor;

        if (c.hostValue.has_value())
            setParameter (processor, c.id, *c.hostValue);

        OpenEditor open (processor);
        auto& knob = open.knob (c.id);
        const auto& r = rangeOf (c.id);
        const auto startProportion = knob.valueToProportionOfLength (knob.getValue());
        const auto distance = (double) c.dx - (double) c.dy;
        const auto reached = r.minimum + juce::jlimit (0.0, 1.0, startProportion + distance / pixelsForFullTravel) * (r.maximum - r.minimum);

        GestureLog log (*processor.parameters.getParameter (c.id));
        Mouse mouse (*open.editor);
        mouse.drag (knob, { c.dx, c.dy });

        const auto stored = (double) valueOf (processor, c.id);
        const auto steps = (stored - r.parameterMinimum) / 0.01;
        EXPECT_NEAR (steps, std::round (steps), 1.0e-3) << "on the parameter's grid";
        EXPECT_NEAR (stored, reached, 0.005 + 1.0e-5) << "the grid point nearest the knob";
        EXPECT_NEAR (knob.getValue(), stored, 1.0e-6);
        EXPECT_GE (log.changes, 1);
        EXPECT_EQ (log.changesOutsideGesture, 0);
        EXPECT_EQ (log.begins, 1);
        EXPECT_EQ (log.ends, 1);
    }
}

TEST (EditorBinding, DoubleClickOrAltClickReturnsToOneHalf)
{
    for (const auto useAlt : { false, true })
    {
        for (const auto& r : knobRanges)
        {
            SCOPED_TRACE (juce::String (r.id) + (useAlt ? " alt-clicked" : " double-clicked"));
            TumblewispAudioProcessor processor;
            setParameter (processor, r.id, 0.9f);
            OpenEditor open (processor);
            auto& knob = open.knob (r.id);

            GestureLog log (*processor.parameters.getParameter (r.id));
            Mouse mouse (*open.editor);

            if (useAlt)
                mouse.altClick (knob);
            else
                mouse.doubleClick (knob);

            EXPECT_EQ (valueOf (processor, r.id), 0.5f);
            EXPECT_EQ (knob.getValue(), 0.5);
            EXPECT_EQ (log.changes, 1);
            EXPECT_EQ (log.changesOutsideGesture, 0);
            EXPECT_EQ (log.begins, log.ends);
            EXPECT_EQ (log.openGestures, 0);
        }
    }
}

TEST (EditorBinding, HostChangesMoveTheKnobAtOnceOrAfterTheAsynchronousUpdate)
{
    struct Case
    {
        const char* id;
        float onMessageThread, fromAnotherThread;
    };

    constexpr Case cases[] { { ParameterIds::speed, 4.2f, 1.7f },
                             { ParameterIds::depth, 0.8f, 0.25f },
                             { ParameterIds::swamp, 0.3f, 0.65f },
                             { ParameterIds::shape, 0.9f, 0.15f } };

    TumblewispAudioProcessor processor;
    OpenEditor open (processor);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        auto& knob = open.knob (c.id);

        setParameter (processor, c.id, c.onMessageThread);
        EXPECT_NEAR (knob.getValue(), c.onMessageThread, 1.0e-6);

        std::thread host ([&] { setParameter (processor, c.id, c.fromAnotherThread); });
        host.join();
        EXPECT_NEAR (knob.getValue(), c.onMessageThread, 1.0e-6) << "not before the message thread runs";
        EXPECT_TRUE (dispatchMessagesUntil ([&] { return std::abs (knob.getValue() - c.fromAnotherThread) < 1.0e-6; }));
        EXPECT_NEAR (valueOf (processor, c.id), c.fromAnotherThread, 1.0e-6);
    }
}

TEST (EditorBinding, ARestoredStateOpensTheEditorAtItsValues)
{
    juce::MemoryBlock state;
    {
        TumblewispAudioProcessor saved;
        setParameter (saved, ParameterIds::speed, 3.0f);
        saved.getStateInformation (state);
    }

    TumblewispAudioProcessor restored;
    restored.setStateInformation (state.getData(), (int) state.getSize());
    OpenEditor open (restored);

    EXPECT_NEAR (open.knob (ParameterIds::speed).getValue(), 3.0, 1.0e-6);
    EXPECT_NEAR (open.knob (ParameterIds::depth).getValue(), 0.5, 1.0e-6);
}

TEST (EditorBinding, AHostValueBelowTheKnobsRangeStaysWithTheParameter)
{
    for (const auto setBeforeOpening : { true, false })
    {
        SCOPED_TRACE (setBeforeOpening ? "set before opening" : "set while open");
        TumblewispAudioProcessor processor;

        if (setBeforeOpening)
            setParameter (processor, ParameterIds::swamp, 0.05f);

        OpenEditor open (processor);

        if (! setBeforeOpening)
            setParameter (processor, ParameterIds::swamp, 0.05f);

        const auto setByHost = valueOf (processor, ParameterIds::swamp);
        EXPECT_NEAR (setByHost, 0.05f, 1.0e-7f);
        dispatchPendingMessages();
        EXPECT_EQ (open.knob (ParameterIds::swamp).getValue(), (double) 0.1f);
        EXPECT_EQ (valueOf (processor, ParameterIds::swamp), setByHost);
    }
}

TEST (EditorBinding, ReopeningShowsTheCurrentValues)
{
    constexpr std::pair<const char*, float> changes[] { { ParameterIds::speed, 2.0f },
                                                        { ParameterIds::depth, 0.7f },
                                                        { ParameterIds::swamp, 0.2f },
                                                        { ParameterIds::shape, 0.95f } };
    TumblewispAudioProcessor processor;

    {
        OpenEditor first (processor);
    }

    for (const auto& [id, value] : changes)
        setParameter (processor, id, value);

    OpenEditor reopened (processor);

    for (const auto& [id, value] : changes)
        EXPECT_NEAR (reopened.knob (id).getValue(), value, 1.0e-6) << id;
}

TEST (EditorBinding, ClosingWhileBlocksAreProcessedChangesNeitherAudioNorParameters)
{
    constexpr int blockSize = 256;
    constexpr std::pair<const char*, float> settings[] { { ParameterIds::speed, 3.0f },
                                                         { ParameterIds::depth, 0.8f },
                                                         { ParameterIds::swamp, 0.05f },
                                                         { ParameterIds::shape, 0.0f } };

    TumblewispAudioProcessor withEditor, untouched;

    for (auto* p : { &withEditor, &untouched })
    {
        for (const auto& [id, value] : settings)
            setParameter (*p, id, value);

        p->prepareToPlay (44100.0, blockSize);
    }

    std::map<juce::String, float> before;

    for (const auto& [id, value] : settings)
        before[id] = valueOf (withEditor, id);

    std::atomic<bool> editorsDone { false };
    std::atomic<int> blocks { 0 }, differingBlocks { 0 };

    // The same input through both processors; only one of them ever has an editor.
    std::thread audio ([&]
    {
        juce::AudioBuffer<float> a (2, blockSize), b (2, blockSize);
        juce::MidiBuffer midi;

        while (! editorsDone || blocks < 8)
        {
            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < blockSize; ++i)
                    a.setSample (channel, i, 0.5f * std::sin (0.03f * (float) (blocks * blockSize + i) + (float) channel));

            b.makeCopyOf (a);
            withEditor.processBlock (a, midi);
            untouched.processBlock (b, midi);

            for (int channel = 0; channel < 2; ++channel)
                if (std::memcmp (a.getReadPointer (channel), b.getReadPointer (channel), sizeof (float) * blockSize) != 0)
                    ++differingBlocks;

            ++blocks;
        }
    });

    for (int round = 0; round < 5; ++round)
    {
        OpenEditor open (withEditor);
        dispatchPendingMessages();
    }

    editorsDone = true;
    audio.join();

    EXPECT_GE (blocks.load(), 8);
    EXPECT_EQ (differingBlocks.load(), 0);

    for (const auto& [id, value] : before)
        EXPECT_EQ (valueOf (withEditor, id.toRawUTF8()), value) << id;
}
