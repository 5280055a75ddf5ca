#include "processor/ParameterLayout.h"
#include "support/ProcessorParameters.h"
#include "support/StateBlock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
// Every value any thread or block sets; each is exact in binary, so its text reads back exactly.
bool isAllowed (const juce::String& id, float value)
{
    if (id == ParameterIds::shape)
        return value == 0.75f;

    for (auto allowed : { 0.25f, 0.5f, 0.75f, 1.0f, 2.0f, 3.0f, 4.0f })
        if (value == allowed && (id == ParameterIds::speed || value <= 1.0f))
            return true;

    return false;
}

// None of these blocks names SHAPE, so its value has to survive every restore.
juce::StringArray makeRestoredChildren()
{
    using B = StateBlock;
    return { B::param (ParameterIds::depth, "0.25") + B::param (ParameterIds::speed, "2.0") + B::param (ParameterIds::swamp, "0.75"),
             B::param (ParameterIds::swamp, "1.0") + "<Note text=\"kept\"/>" + B::param (ParameterIds::depth, "0.5") + B::param (ParameterIds::speed, "4.0"),
             B::param (ParameterIds::speed, "0.5") + B::param (ParameterIds::depth, "1.0") + B::param (ParameterIds::swamp, "0.25") };
}
} // namespace

TEST (SavedStateConcurrency, SavingAndRestoringWhileProcessingAndAutomating)
{
    TumblewispAudioProcessor processor;
    setParameter (processor, ParameterIds::shape, 0.75f);
    processor.prepareToPlay (48000.0, 256);

    const auto restoredChildren = makeRestoredChildren();
    std::atomic<bool> stateDone { false };
    std::atomic<int> audioProblems { 0 }, blocksProcessed { 0 }, changesMade { 0 };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;

        while (! stateDone && blocksProcessed < 200000)
        {
            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                    buffer.setSample (channel, i, 0.5f * std::sin (0.05f * (float) i));

            processor.processBlock (buffer, midi);

            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                    if (! std::isfinite (buffer.getSample (channel, i)))
                        ++audioProblems;

            for (auto* id : StateBlock::ids)
                if (! isAllowed (id, processor.parameters.getRawParameterValue (id)->load()))
                    ++audioProblems;

            ++blocksProcessed;
        }
    });

    std::thread automation ([&]
    {
        const char* ids[] { ParameterIds::depth, ParameterIds::speed, ParameterIds::swamp };
        const float values[] { 0.25f, 0.5f, 0.75f, 1.0f };

        for (int i = 0; ! stateDone && i < 1000000; ++i)
        {
            setParameter (processor, ids[i % 3], values[(i / 3) % 4] * (i % 3 == 1 ? 4.0f : 1.0f));
            ++changesMade;
        }
    });

    const auto saveAndRestore = [&]() -> juce::String
    {
        for (int i = 0; i < 3000; ++i)
        {
            const auto saved = juce::parseXML (StateBlock::textOf (StateBlock::save (processor)));

            if (saved == nullptr)
                return "save " + juce::String (i) + " does not parse";

            // The tree is the last restored block's children with SHAPE appended after them.
            const auto expectedCount = i == 0 ? 4 : juce::parseXML ("<P>" + restoredChildren[(i - 1) % restoredChildren.size()] + "</P>")->getNumChildElements() + 1;

            if (saved->getNumChildElements() != expectedCount
                || (i > 0 && saved->getChildElement (expectedCount - 1)->getStringAttribute ("id") != ParameterIds::shape))
                return "save " + juce::String (i) + " has the wrong children: " + saved->toString();

            for (auto* child : saved->getChildWithTagNameIterator ("PARAM"))
                if (! isAllowed (child->getStringAttribute ("id"), (float) child->getDoubleAttribute ("value", -1.0)))
                    return "save " + juce::String (i) + " holds " + child->toString();

            StateBlock::restore (processor,
                                 StateBlock::make (StateBlock::document ("Parameters", restoredChildren[i % restoredChildren.size()])));
        }

        return {};
    };

    const auto problem = saveAndRestore();
    stateDone = true;
    audio.join();
    automation.join();

    EXPECT_EQ (problem, juce::String());
    EXPECT_EQ (audioProblems, 0);
    EXPECT_GT (blocksProcessed, 0);
    EXPECT_GT (changesMade, 0);

    // Every value the threads left behind is in the next save: no change was lost between them.
    const auto values = StateBlock::getValues (processor);
    TumblewispAudioProcessor reloaded;
    StateBlock::restore (reloaded, StateBlock::save (processor));
    EXPECT_EQ (StateBlock::getValues (reloaded), values);
    EXPECT_EQ (values[1], 0.75f);
}
