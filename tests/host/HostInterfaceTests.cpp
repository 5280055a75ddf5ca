#include "support/BusLayout.h"
#include "support/PluginHost.h"

#include <gtest/gtest.h>

namespace
{
struct FormatExpectations
{
    PluginHost::Format format;
    const char* defaultText;   // the LV2 host formats values itself
    bool acceptsMono;          // LV2 ports are fixed at the default stereo layout
    int programs;              // the VST3 wrapper publishes no list for a single program
    int wrapperParameters;     // each wrapper adds a bypass of its own
};

void PrintTo (const FormatExpectations& expectations, std::ostream* os)
{
    *os << PluginHost::getFormatName (expectations.format);
}

constexpr FormatExpectations formats[] { { PluginHost::Format::vst3, "0.50", true, 0, 1 },
                                         { PluginHost::Format::lv2, "0.5", false, 1, 1 } };

struct ParameterCase
{
    const char* name;
    float normalisedDefault;
};

constexpr ParameterCase parameterCases[] { { "Speed", 0.4f / 4.9f },
                                           { "Depth", 0.4f / 0.9f },
                                           { "Swamp", 0.5f },
                                           { "Shape", 0.5f } };

class HostInterfaceTest : public testing::TestWithParam<FormatExpectations>
{
protected:
    void SetUp() override
    {
        juce::String error;
        plugin = PluginHost::load (GetParam().format, 44100.0, 512, error);
        ASSERT_NE (plugin, nullptr) << error.toStdString();
    }

    std::unique_ptr<juce::AudioPluginInstance> plugin;
};
} // namespace

TEST_P (HostInterfaceTest, SeesTheProductAndItsParameters)
{
    const auto& expected = GetParam();

    EXPECT_EQ (plugin->getName(), "Tumblewisp");
    EXPECT_EQ (plugin->getPluginDescription().name, "Tumblewisp");
    EXPECT_FALSE (plugin->getPluginDescription().isInstrument);
    EXPECT_FALSE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
    EXPECT_EQ (plugin->getTailLengthSeconds(), 0.0);
    EXPECT_EQ (plugin->getParameters().size(), 4 + expected.wrapperParameters);

    for (const auto& c : parameterCases)
    {
        SCOPED_TRACE (c.name);
        auto* parameter = PluginHost::findParameter (*plugin, c.name);
        ASSERT_NE (parameter, nullptr);
        EXPECT_FLOAT_EQ (parameter->getDefaultValue(), c.normalisedDefault);
        EXPECT_FLOAT_EQ (parameter->getValue(), c.normalisedDefault);
        EXPECT_EQ (parameter->getCurrentValueAsText(), expected.defaultText);
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_TRUE (parameter->isAutomatable());
    }

    EXPECT_EQ (plugin->getNumPrograms(), expected.programs);

    if (expected.programs > 0)
        EXPECT_EQ (plugin->getProgramName (0), "");
}

TEST_P (HostInterfaceTest, NegotiatesOnlyMatchingMonoOrStereo)
{
    using Set = juce::AudioChannelSet;

    EXPECT_EQ (plugin->getBusesLayout(), makeLayout ({ Set::stereo() }, { Set::stereo() }));
    EXPECT_TRUE (plugin->checkBusesLayoutSupported (makeLayout ({ Set::stereo() }, { Set::stereo() })));
    EXPECT_EQ (plugin->checkBusesLayoutSupported (makeLayout ({ Set::mono() }, { Set::mono() })), GetParam().acceptsMono);

    for (const auto& refused : { makeLayout ({ Set::mono() }, { Set::stereo() }),
                                 makeLayout ({ Set::stereo() }, { Set::mono() }),
                                 makeLayout ({ Set::discreteChannels (2) }, { Set::discreteChannels (2) }),
                                 makeLayout ({ Set::create5point1() }, { Set::create5point1() }) })
        EXPECT_FALSE (plugin->checkBusesLayoutSupported (refused));
}

TEST_P (HostInterfaceTest, ProcessesBlocksAfterASilentFirstOne)
{
    constexpr int blockSize = 512;
    plugin->prepareToPlay (44100.0, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;

    for (int block = 0; block < 4; ++block)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (channel, i, 0.5f * std::sin (0.05f * (float) (block * blockSize + i)));

        plugin->processBlock (buffer, midi);

        const auto range = buffer.findMinMax (0, 0, blockSize);
        EXPECT_TRUE (std::isfinite (range.getStart()) && std::isfinite (range.getEnd()));

        if (block == 0)
            EXPECT_EQ (buffer.getMagnitude (0, blockSize), 0.0f) << "the first block is silent";
        else
            EXPECT_GT (buffer.getMagnitude (0, blockSize), 0.1f) << "block " << block;
    }

    EXPECT_TRUE (midi.isEmpty());
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P (BuiltBundles,
                          HostInterfaceTest,
                          testing::ValuesIn (formats),
                          [] (const auto& info) { return PluginHost::getFormatName (info.param.format).toStdString(); });
