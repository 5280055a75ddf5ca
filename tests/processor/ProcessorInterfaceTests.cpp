#include "processor/ParameterLayout.h"
#include "support/BusLayout.h"
#include "support/ProcessorInternals.h"

#include <gtest/gtest.h>

namespace
{
struct ParameterCase
{
    const char* id;
    const char* name;
    float minimum, maximum;
};

constexpr ParameterCase parameterCases[] { { ParameterIds::speed, "Speed", 0.1f, 5.0f },
                                           { ParameterIds::depth, "Depth", 0.1f, 1.0f },
                                           { ParameterIds::swamp, "Swamp", 0.0f, 1.0f },
                                           { ParameterIds::shape, "Shape", 0.0f, 1.0f } };
} // namespace

TEST (ProcessorInterface, DeclaresTheFourParametersInHostOrder)
{
    TumblewispAudioProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 4);

    for (int index = 0; index < 4; ++index)
    {
        const auto& expected = parameterCases[index];
        SCOPED_TRACE (expected.id);

        auto* parameter = dynamic_cast<juce::AudioParameterFloat*> (parameters[index]);
        ASSERT_NE (parameter, nullptr);
        const juce::AudioProcessorParameter& asHostSeesIt = *parameter;
        EXPECT_EQ (parameter->getParameterIndex(), index);
        EXPECT_EQ (parameter->getParameterID(), expected.id);
        EXPECT_EQ (parameter->getName (100), expected.name);
        EXPECT_EQ (parameter->range.start, expected.minimum);
        EXPECT_EQ (parameter->range.end, expected.maximum);
        EXPECT_EQ (parameter->range.interval, 0.01f);
        EXPECT_EQ (parameter->range.skew, 1.0f);
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_EQ (parameter->getCategory(), juce::AudioProcessorParameter::genericParameter);

        // Exactly 0.5, not the neighbouring float a single-precision snap gives.
        EXPECT_EQ (parameter->get(), 0.5f);
        EXPECT_EQ (processor.parameters.getRawParameterValue (expected.id)->load(), 0.5f);
        EXPECT_EQ (asHostSeesIt.getDefaultValue(), (0.5f - expected.minimum) / (expected.maximum - expected.minimum));
        EXPECT_EQ (asHostSeesIt.getCurrentValueAsText(), "0.50");
        EXPECT_EQ (asHostSeesIt.getText (asHostSeesIt.getValue(), 3), "0.5");
        EXPECT_EQ (asHostSeesIt.getValueForText ("0.5"), asHostSeesIt.getDefaultValue());
    }
}

TEST (ProcessorInterface, GridValuesAreSingleRoundings)
{
    TumblewispAudioProcessor processor;

    for (const auto& c : parameterCases)
    {
        SCOPED_TRACE (c.id);
        auto* parameter = dynamic_cast<juce::AudioParameterFloat*> (processor.parameters.getParameter (c.id));
        ASSERT_NE (parameter, nullptr);

        // Grid points that are binary fractions must come out exact, whatever the range's start.
        for (auto quarter = c.minimum == 0.0f ? 0.0f : 0.25f; quarter <= c.maximum; quarter += 0.25f)
        {
            EXPECT_EQ (parameter->range.snapToLegalValue (quarter), quarter);
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (quarter));
            EXPECT_EQ (parameter->get(), quarter);
            EXPECT_EQ (processor.parameters.getRawParameterValue (c.id)->load(), quarter);
        }

        // Grid point n is start + 0.01f * n rounded once, whether the host steps to it
        // by its normalised position or by the value itself.
        const auto steps = (int) std::lround ((c.maximum - c.minimum) / 0.01f);

        for (int n = 0; n <= steps; ++n)
        {
            const auto expected = std::fmaf (0.01f, (float) n, c.minimum);
            SCOPED_TRACE (n);

            parameter->setValueNotifyingHost ((float) n / (float) steps);
            EXPECT_EQ (parameter->get(), expected);
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (expected));
            EXPECT_EQ (processor.parameters.getRawParameterValue (c.id)->load(), expected);
        }

        // Off-grid and out-of-range values land on the grid's ends and nearest steps.
        EXPECT_EQ (parameter->range.snapToLegalValue (c.maximum + 1.0f), c.maximum);
        EXPECT_EQ (parameter->range.snapToLegalValue (c.minimum - 1.0f), c.minimum);
        EXPECT_EQ (parameter->range.snapToLegalValue (0.504f), 0.5f);
        EXPECT_EQ (parameter->range.snapToLegalValue (0.496f), 0.5f);
    }
}

TEST (ProcessorInterface, StartsWithItsDocumentedState)
{
    TumblewispAudioProcessor processor;

    EXPECT_EQ (ProcessorInternals::currentShape (processor), 0.0f);
    EXPECT_EQ (ProcessorInternals::currentSpeed (processor), 1.0);
    EXPECT_EQ (ProcessorInternals::currentSampleRate (processor), 0.0);
    EXPECT_EQ (ProcessorInternals::lfoPhase (processor), 0.0);
    EXPECT_EQ (ProcessorInternals::lfoIncrement (processor), 0.0);
    EXPECT_FALSE (ProcessorInternals::hasProcessedBlock (processor));

    for (int channel = 0; channel < 20; ++channel)
        EXPECT_EQ (ProcessorInternals::filterState (processor, channel), 0.0f);
}

TEST (ProcessorInterface, HasOneStereoInputAndOneStereoOutputBus)
{
    TumblewispAudioProcessor processor;

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);

    for (const auto isInput : { true, false })
    {
        const auto* bus = processor.getBus (isInput, 0);
        EXPECT_EQ (bus->getName(), isInput ? "Input" : "Output");
        EXPECT_EQ (bus->getCurrentLayout(), juce::AudioChannelSet::stereo());
        EXPECT_TRUE (bus->isEnabled());
        EXPECT_FALSE (processor.canAddBus (isInput));
        EXPECT_FALSE (processor.canRemoveBus (isInput));
    }
}

TEST (ProcessorInterface, AcceptsOnlyMatchingMonoOrStereoMainBuses)
{
    using Set = juce::AudioChannelSet;
    const auto mono = Set::mono(), stereo = Set::stereo(), none = Set::disabled();

    struct Case
    {
        const char* description;
        juce::AudioProcessor::BusesLayout layout;
        bool accepted;
    };

    const Case cases[] {
        { "mono to mono", makeLayout ({ mono }, { mono }), true },
        { "stereo to stereo", makeLayout ({ stereo }, { stereo }), true },
        { "mono to stereo", makeLayout ({ mono }, { stereo }), false },
        { "stereo to mono", makeLayout ({ stereo }, { mono }), false },
        { "disabled input", makeLayout ({ none }, { stereo }), false },
        { "no input bus", makeLayout ({}, { stereo }), false },
        { "no input bus, mono out", makeLayout ({}, { mono }), false },
        { "disabled output", makeLayout ({ stereo }, { none }), false },
        { "no output bus", makeLayout ({ stereo }, {}), false },
        { "no buses", makeLayout ({}, {}), false },
        { "two discrete channels", makeLayout ({ Set::discreteChannels (2) }, { Set::discreteChannels (2) }), false },
        { "left-centre-right", makeLayout ({ Set::createLCR() }, { Set::createLCR() }), false },
        { "5.1", makeLayout ({ Set::create5point1() }, { Set::create5point1() }), false },
        { "5.1 to stereo", makeLayout ({ Set::create5point1() }, { stereo }), false },
        { "stereo to 5.1", makeLayout ({ stereo }, { Set::create5point1() }), false },
        { "stereo with extra buses", makeLayout ({ stereo, Set::create5point1() }, { stereo, mono }), true },
        { "mono with extra buses", makeLayout ({ mono, none }, { mono, stereo }), true },
    };

    TumblewispAudioProcessor processor;
    processor.prepareToPlay (44100.0, 512);

    for (const auto& c : cases)
    {
        EXPECT_EQ (processor.isBusesLayoutSupported (c.layout), c.accepted) << c.description;
        EXPECT_EQ (processor.getBusesLayout(), makeLayout ({ stereo }, { stereo })) << "the query changed the layout";
    }

    ASSERT_TRUE (processor.setBusesLayout (makeLayout ({ mono }, { mono })));
    EXPECT_EQ (processor.getTotalNumInputChannels(), 1);
    EXPECT_FALSE (processor.setBusesLayout (makeLayout ({ mono }, { stereo })));
    EXPECT_EQ (processor.getMainBusNumOutputChannels(), 1);
}

TEST (ProcessorInterface, AnswersTheHostsFixedQueries)
{
    TumblewispAudioProcessor processor;

    for (const auto sampleRate : { 0.0, 44100.0, 192000.0 })
    {
        if (sampleRate > 0.0)
            processor.prepareToPlay (sampleRate, 256);

        processor.parameters.getParameter (ParameterIds::speed)->setValueNotifyingHost (1.0f);

        EXPECT_EQ (processor.getName(), "Tumblewisp");
        EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
        EXPECT_FALSE (processor.acceptsMidi());
        EXPECT_FALSE (processor.producesMidi());
        EXPECT_FALSE (processor.isMidiEffect());
        EXPECT_TRUE (processor.hasEditor());
        EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
        EXPECT_EQ (processor.getBypassParameter(), nullptr);
    }
}

TEST (ProcessorInterface, HasOneUnnamedProgramThatNothingChanges)
{
    TumblewispAudioProcessor processor;
    auto* depth = processor.parameters.getParameter (ParameterIds::depth);
    depth->setValueNotifyingHost (0.75f);
    const auto depthValue = depth->getValue();

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    for (const auto index : { 0, 1, -1, 1000 })
    {
        processor.setCurrentProgram (index);
        EXPECT_EQ (processor.getCurrentProgram(), 0);
        EXPECT_EQ (processor.getProgramName (index), "");
    }

    processor.changeProgramName (0, "Bog");
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (depth->getValue(), depthValue);
}

TEST (ProcessorInterface, InstancesAreIndependent)
{
    TumblewispAudioProcessor first, second;

    first.parameters.getParameter (ParameterIds::swamp)->setValueNotifyingHost (1.0f);

    second.parameters.getParameter (ParameterIds::depth)->setValueNotifyingHost (0.0f);

    EXPECT_EQ (first.parameters.getRawParameterValue (ParameterIds::swamp)->load(), 1.0f);
    EXPECT_EQ (first.parameters.getRawParameterValue (ParameterIds::depth)->load(), 0.5f);
    EXPECT_EQ (second.parameters.getRawParameterValue (ParameterIds::swamp)->load(), 0.5f);
    EXPECT_EQ (second.parameters.getRawParameterValue (ParameterIds::depth)->load(), 0.1f);
}

TEST (ProcessorInterface, FactoryMakesAProcessorAndDestructionNeedsNoPreparation)
{
    for (const auto prepare : { false, true })
    {
        std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
        ASSERT_NE (dynamic_cast<TumblewispAudioProcessor*> (processor.get()), nullptr);

        if (prepare)
            processor->prepareToPlay (48000.0, 64);

        // LeakSanitizer, in the sanitizer build, and the framework's leak detector check the release.
        processor.reset();
    }
}
