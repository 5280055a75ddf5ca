#include "processor/SignalPath.h"
#include "support/SignalTestSupport.h"

#include <cmath>
#include <string>

using namespace SignalTestSupport;

namespace
{
constexpr double pi = 3.141592653589793;

// The worked figures are printed to a fixed number of decimals; a value matches
// a figure when it rounds to it.
void expectPrinted (double value, const std::string& printed)
{
    const auto decimals = (int) (printed.size() - printed.find ('.') - 1);
    EXPECT_NEAR (value, std::stod (printed), 0.5 * std::pow (10.0, -decimals)) << "printed as " << printed;
}

/** The oscillator's value at a phase, put together as the processor does. */
float lfoAt (double phase, float shape)
{
    const auto s = sinf ((float) phase);
    return SignalPath::blend (s, SignalPath::saturate (s * 10.0f), shape);
}

float coefficientAt (double sampleRate)
{
    PreparedProcessor prepared (sampleRate);
    return ProcessorInternals::filterBaseCoefficient (prepared.processor);
}
} // namespace

TEST (SignalPath, FilterBaseCoefficientAndStepShare)
{
    struct Case
    {
        double sampleRate;
        const char* coefficient;
        const char* stepShare;
    };

    for (const auto& c : { Case { 44100.0, "0.061224490404", "0.384685" },
                           Case { 48000.0, "0.056249999", "0.353429" } })
    {
        SCOPED_TRACE (c.sampleRate);
        const auto coefficient = coefficientAt (c.sampleRate);
        expectPrinted (coefficient, c.coefficient);
        expectPrinted (2.0 * pi * (double) coefficient, c.stepShare);
    }
}

TEST (SignalPath, LfoIncrementFollowsSpeedFromTheFirstBlock)
{
    PreparedProcessor prepared;
    auto& p = prepared.processor;

    // Before any block the increment comes from the initial rate of 1 Hz.
    EXPECT_EQ (ProcessorInternals::lfoIncrement (p), 2.0 * 7.123792865282977e-05);

    auto buffer = constantBuffer (2, 16, 0.0f);
    process (p, buffer);
    EXPECT_EQ (ProcessorInternals::lfoIncrement (p), 7.123792865282977e-05);
}

TEST (SignalPath, PhaseMovesOncePerBlockWhateverTheChannelCount)
{
    for (const auto channels : { 1, 2 })
    {
        SCOPED_TRACE (channels);
        PreparedProcessor prepared (44100.0, channels);
        auto buffer = constantBuffer (channels, 512, 0.25f);
        process (prepared.processor, buffer);

        auto expected = 0.0;
        for (int i = 0; i < 512; ++i)
            expected += 7.123792865282977e-05;

        const auto phase = ProcessorInternals::lfoPhase (prepared.processor);
        EXPECT_EQ (phase, expected);
        expectPrinted (phase, "0.0364738");
    }
}

TEST (SignalPath, FirstStateFromHalfScaleAtPhaseZero)
{
    PreparedProcessor silentFirst;
    auto first = constantBuffer (2, 1, 0.5f);
    process (silentFirst.processor, first);
    expectPrinted (ProcessorInternals::filterState (silentFirst.processor, 0), "0.1923424");
    EXPECT_EQ (first.getSample (0, 0), 0.0f);

    PreparedProcessor audible;
    passTheSilentFirstBlock (audible.processor);
    auto second = constantBuffer (2, 1, 0.5f);
    process (audible.processor, second);
    expectPrinted (second.getSample (0, 0), "0.1923424");
    EXPECT_TRUE (sameBits (second.getSample (0, 0), ProcessorInternals::filterState (silentFirst.processor, 0)));
}

TEST (SignalPath, FullSwampInTheTrough)
{
    const auto coefficient = coefficientAt (44100.0);
    const auto step = SignalPath::modulate (lfoAt (3.0 * pi / 2.0, 0.0f), 0.5f, 1.0f, coefficient);

    EXPECT_EQ (lfoAt (3.0 * pi / 2.0, 0.0f), -1.0f);
    EXPECT_EQ (step.gain, 0.5f);
    expectPrinted (step.exponent, "0.6");
    // A * 6 = 3 is capped at 0.9, leaving a cutoff factor of 0.10000002.
    EXPECT_EQ (step.coefficient, 0.100000024f * coefficient);

    const auto y = SignalPath::bend (0.25f, step.exponent);
    expectPrinted (y, "0.4352753");
    expectPrinted (y * step.gain, "0.2176376");

    const auto mirrored = SignalPath::bend (-0.25f, step.exponent);
    EXPECT_TRUE (sameBits (mirrored, -y));
    expectPrinted (mirrored * step.gain, "-0.2176376");
}

TEST (SignalPath, FullSwampInTheTroughThroughABlock)
{
    // The same point reached by processBlock, from a filter state of 0: the output is the
    // low-pass input times 2 pi k, so the input can be read back from it.
    const auto coefficient = coefficientAt (44100.0);
    const auto share = 2.0 * pi * (double) (0.100000024f * coefficient);

    for (const auto& [input, lowPassInput] : { std::pair { 0.25f, "0.2176376" }, std::pair { -0.25f, "-0.2176376" } })
    {
        SCOPED_TRACE (input);
        PreparedProcessor prepared (44100.0);
        auto& p = prepared.processor;
        setParameters (p, { 0.5f, 0.5f, 1.0f, 0.0f });
        passTheSilentFirstBlock (p);

        ProcessorInternals::setLfoPhase (p, 3.0 * pi / 2.0);
        auto buffer = constantBuffer (2, 1, input);
        process (p, buffer);

        expectPrinted (buffer.getSample (0, 0) / share, lowPassInput);
        EXPECT_TRUE (sameBits (buffer.getSample (1, 0), buffer.getSample (0, 0)));
    }
}

TEST (SignalPath, ShapeBlendsSineTowardsSaturation)
{
    struct Case
    {
        float shape;
        const char* lfo;
    };

    for (const auto& c : { Case { 1.0f, "0.7608937" }, Case { 0.0f, "0.0998334" } })
    {
        SCOPED_TRACE (c.shape);
        expectPrinted (lfoAt (0.1, c.shape), c.lfo);
    }
}

TEST (SignalPath, FullDepthTroughSilencesTheLowPassInput)
{
    struct Case
    {
        float swamp;
        double cutoffShare; // of the full cutoff
    };

    const auto coefficient = coefficientAt (44100.0);

    for (const auto& c : { Case { 0.0f, 1.0 }, Case { 0.5f, 0.1 }, Case { 1.0f, 0.1 } })
    {
        SCOPED_TRACE (c.swamp);
        EXPECT_EQ (SignalPath::modulate (lfoAt (3.0 * pi / 2.0, 0.0f), 1.0f, c.swamp, coefficient).gain, 0.0f);

        // Near the trough sinf is exactly -1 for a few dozen samples at the slowest speed.
        const ReferenceTremolo::Parameters parameters { 0.1f, 1.0f, c.swamp, 0.0f };
        juce::AudioBuffer<float> results[2];

        for (const auto input : { 0, 1 })
        {
            PreparedProcessor prepared;
            auto& p = prepared.processor;
            setParameters (p, parameters);
            passTheSilentFirstBlock (p);

            ProcessorInternals::setLfoPhase (p, 3.0 * pi / 2.0 - 4.0 * 0.1 / 44100.0 * 2.0 * pi);
            ProcessorInternals::setFilterState (p, 0, 0.8f);
            results[input] = constantBuffer (2, 8, input == 0 ? 0.0f : 0.9f);
            process (p, results[input]);
        }

        EXPECT_TRUE (identical (results[1], results[0])) << "the input must not reach the output";

        auto previous = 0.8;
        for (int i = 0; i < 8; ++i)
        {
            const auto output = (double) results[0].getSample (0, i);
            EXPECT_NEAR (output / previous, 1.0 - 2.0 * pi * c.cutoffShare * coefficient, 1e-6);
            previous = output;
        }
    }
}

TEST (SignalPath, FullDepthCrestDoublesTheLowPassInput)
{
    EXPECT_EQ (SignalPath::modulate (lfoAt (pi / 2.0, 0.0f), 1.0f, 1.0f, 0.06f).gain, 2.0f);

    PreparedProcessor prepared;
    auto& p = prepared.processor;
    setParameters (p, { 0.1f, 1.0f, 1.0f, 0.0f });
    passTheSilentFirstBlock (p);

    ProcessorInternals::setLfoPhase (p, pi / 2.0 - 8.0 * 0.1 / 44100.0 * 2.0 * pi);
    auto buffer = constantBuffer (2, 16, 0.75f);
    process (p, buffer);

    // The output heads for 1.5, past full scale.
    for (int i = 1; i < 16; ++i)
        EXPECT_GT (buffer.getSample (0, i), buffer.getSample (0, i - 1));

    EXPECT_GT (buffer.getSample (0, 15), 1.0f);
    EXPECT_NEAR (buffer.getSample (0, 15), 1.5f, 1e-3f);
}

TEST (SignalPath, NegativeZeroCountsAsNotNegative)
{
    for (const auto exponent : { 1.0f, 0.6f, 0.2f })
    {
        SCOPED_TRACE (exponent);
        EXPECT_TRUE (sameBits (SignalPath::bend (-0.0f, exponent), 0.0f));
    }

    // Through a block, -0 and +0 give the same output from any state.
    juce::AudioBuffer<float> results[2];

    for (const auto input : { 0, 1 })
    {
        PreparedProcessor prepared;
        auto& p = prepared.processor;
        setParameters (p, { 5.0f, 1.0f, 1.0f, 0.3f });
        passTheSilentFirstBlock (p);
        ProcessorInternals::setFilterState (p, 0, -0.3f);
        ProcessorInternals::setFilterState (p, 1, 0.7f);
        ProcessorInternals::setLfoPhase (p, 4.0);
        results[input] = constantBuffer (2, 64, input == 0 ? 0.0f : -0.0f);
        process (p, results[input]);
    }

    EXPECT_TRUE (identical (results[1], results[0]));
}
