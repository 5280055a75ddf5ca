#include "support/SignalTestSupport.h"

#include <limits>

using namespace SignalTestSupport;

namespace
{
/** Audio with everything a host might hand over: ordinary samples mixed with
    denormals, signed zeros, infinities, NaNs and samples far past full scale. */
float awkwardSample (std::mt19937& random)
{
    std::uniform_real_distribution<float> unit (-1.0f, 1.0f);
    std::uniform_int_distribution<int> kind (0, 19);
    std::uniform_int_distribution<uint32_t> mantissa (1, 0x007fffff);
    const auto sign = unit (random) < 0.0f ? -1.0f : 1.0f;

    switch (kind (random))
    {
        case 0:
        {
            auto bits = mantissa (random);
            float denormal;
            std::memcpy (&denormal, &bits, sizeof (float));
            return sign * denormal;
        }
        case 1: return sign * 0.0f;
        case 2: return sign * std::numeric_limits<float>::infinity();
        case 3: return std::numeric_limits<float>::quiet_NaN();
        case 4: return sign * std::numeric_limits<float>::max() * std::abs (unit (random));
        case 5: return sign * std::numeric_limits<float>::min() * (1.0f + 100.0f * std::abs (unit (random)));
        case 6: return unit (random) * 50.0f;
        default: return unit (random);
    }
}

/** A value on the parameter's 0.01 grid, its ends more often than the rest. */
float gridValue (std::mt19937& random, float minimum, float maximum)
{
    const auto steps = (int) std::lround ((maximum - minimum) / 0.01f);
    std::uniform_int_distribution<int> pick (-steps / 4, steps + steps / 4);
    return minimum + 0.01f * (float) juce::jlimit (0, steps, pick (random));
}

void expectSameState (const TumblewispAudioProcessor& processor, const ReferenceTremolo& reference)
{
    using I = ProcessorInternals;
    EXPECT_EQ (I::lfoPhase (processor), reference.lfoPhase);
    EXPECT_EQ (I::lfoIncrement (processor), reference.lfoIncrement);
    EXPECT_EQ (I::hasProcessedBlock (processor), reference.hasProcessedBlock);

    for (int channel = 0; channel < 2; ++channel)
        EXPECT_TRUE (sameBits (I::filterState (processor, channel), reference.filterStates[(size_t) channel])) << channel;
}
} // namespace

TEST (ReferenceMatch, BitIdenticalOverRandomBlocksParametersAndInput)
{
    std::mt19937 random (20240611);
    std::uniform_int_distribution<int> blockLength (0, 1100);
    std::uniform_int_distribution<int> oneIn (0, 15);
    const double sampleRates[] { 44100.0, 48000.0, 96000.0, 22050.0, 8000.0, 192000.0 };

    TumblewispAudioProcessor processor;
    ReferenceTremolo reference;
    auto channels = 2;
    auto sampleRate = 44100.0;
    processor.prepareToPlay (sampleRate, 4096);
    reference.prepare (sampleRate);

    for (int block = 0; block < 3000; ++block)
    {
        if (oneIn (random) == 0)
        {
            channels = oneIn (random) < 8 ? 1 : 2;
            sampleRate = sampleRates[(size_t) oneIn (random) % std::size (sampleRates)];
            setChannels (processor, channels);
            processor.prepareToPlay (sampleRate, 4096);
            reference.prepare (sampleRate);
        }

        if (oneIn (random) < 4)
            setParameters (processor, { gridValue (random, 0.1f, 5.0f), gridValue (random, 0.1f, 1.0f),
                                        gridValue (random, 0.0f, 1.0f), gridValue (random, 0.0f, 1.0f) });

        const auto length = oneIn (random) == 0 ? 1 : blockLength (random);
        juce::AudioBuffer<float> actual (channels, length);

        for (int channel = 0; channel < channels; ++channel)
            for (int i = 0; i < length; ++i)
                actual.setSample (channel, i, awkwardSample (random));

        juce::AudioBuffer<float> expected;
        expected.makeCopyOf (actual);

        process (processor, actual);
        reference.process (expected, channels, channels, currentParameters (processor));

        ASSERT_TRUE (identical (actual, expected)) << "block " << block;
        expectSameState (processor, reference);

        if (testing::Test::HasFailure())
            FAIL() << "block " << block;
    }
}
