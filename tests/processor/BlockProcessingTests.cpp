#include "processor/ParameterLayout.h"
#include "support/SignalTestSupport.h"

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

using namespace SignalTestSupport;

namespace
{
constexpr double twoPi = 2.0 * 3.141592653589793;

juce::AudioBuffer<float> copyOf (const juce::AudioBuffer<float>& buffer)
{
    juce::AudioBuffer<float> copy;
    copy.makeCopyOf (buffer);
    return copy;
}

bool isSilent (const juce::AudioBuffer<float>& buffer)
{
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! sameBits (buffer.getSample (channel, i), 0.0f))
                return false;

    return true;
}
} // namespace

TEST (BlockProcessing, FilterStatesStartAtZero)
{
    TumblewispAudioProcessor processor;

    for (int channel = 0; channel < 20; ++channel)
        EXPECT_TRUE (sameBits (ProcessorInternals::filterState (processor, channel), 0.0f)) << channel;
}

TEST (BlockProcessing, OnlyTheFirstBlockIsSilentAndItsStatesCarryOn)
{
    std::mt19937 random (1);
    const auto first = noiseBuffer (2, 300, random);
    const auto second = noiseBuffer (2, 300, random);

    // A processor whose first block is empty outputs the same blocks audibly.
    PreparedProcessor fresh, primed;
    passTheSilentFirstBlock (primed.processor);

    auto freshFirst = copyOf (first), primedFirst = copyOf (first);
    process (fresh.processor, freshFirst);
    process (primed.processor, primedFirst);

    EXPECT_TRUE (isSilent (freshFirst));
    EXPECT_FALSE (isSilent (primedFirst));

    for (int channel = 0; channel < 2; ++channel)
        EXPECT_TRUE (sameBits (ProcessorInternals::filterState (fresh.processor, channel),
                               ProcessorInternals::filterState (primed.processor, channel)));

    auto freshSecond = copyOf (second), primedSecond = copyOf (second);
    process (fresh.processor, freshSecond);
    process (primed.processor, primedSecond);

    EXPECT_FALSE (isSilent (freshSecond));
    EXPECT_TRUE (identical (freshSecond, primedSecond));
}

TEST (BlockProcessing, LifecycleCallsNeitherSilenceNorJump)
{
    const std::pair<const char*, std::function<void (TumblewispAudioProcessor&)>> interruptions[] {
        { "reset", [] (TumblewispAudioProcessor& p) { p.reset(); } },
        { "releaseResources", [] (TumblewispAudioProcessor& p) { p.releaseResources(); } },
        { "prepareToPlay", [] (TumblewispAudioProcessor& p) { p.prepareToPlay (44100.0, 512); } },
        { "all three", [] (TumblewispAudioProcessor& p) { p.reset(); p.releaseResources(); p.prepareToPlay (44100.0, 4096); } },
    };

    for (const auto& [name, interrupt] : interruptions)
    {
        SCOPED_TRACE (name);
        std::mt19937 random (2);
        PreparedProcessor interrupted, steady;

        for (int block = 0; block < 3; ++block)
        {
            if (block == 2)
                interrupt (interrupted.processor);

            const auto input = noiseBuffer (2, 256, random);
            auto a = copyOf (input), b = copyOf (input);
            process (interrupted.processor, a);
            process (steady.processor, b);
            EXPECT_TRUE (identical (a, b)) << "block " << block;
        }
    }
}

TEST (BlockProcessing, StereoSharesTheOscillatorAndKeepsSeparateStates)
{
    std::mt19937 random (3);
    PreparedProcessor stereo (48000.0, 2), left (48000.0, 1), right (48000.0, 1);

    for (auto* p : { &stereo.processor, &left.processor, &right.processor })
        setParameters (*p, { 5.0f, 1.0f, 0.8f, 0.7f });

    for (int block = 0; block < 6; ++block)
    {
        auto both = noiseBuffer (2, 500, random);
        juce::AudioBuffer<float> l (1, 500), r (1, 500);
        l.copyFrom (0, 0, both, 0, 0, 500);
        r.copyFrom (0, 0, both, 1, 0, 500);

        process (stereo.processor, both);
        process (left.processor, l);
        process (right.processor, r);

        juce::AudioBuffer<float> split (2, 500);
        split.copyFrom (0, 0, l, 0, 0, 500);
        split.copyFrom (1, 0, r, 0, 0, 500);
        EXPECT_TRUE (identical (both, split)) << "block " << block;
    }
}

TEST (BlockProcessing, StereoToMonoKeepsTheRightChannelsState)
{
    std::mt19937 random (4);
    PreparedProcessor prepared;
    auto& p = prepared.processor;

    for (int block = 0; block < 3; ++block)
    {
        auto buffer = noiseBuffer (2, 128, random);
        process (p, buffer);
    }

    const auto rightState = ProcessorInternals::filterState (p, 1);
    ASSERT_NE (rightState, 0.0f);

    setChannels (p, 1);
    p.prepareToPlay (44100.0, 4096);

    for (int block = 0; block < 3; ++block)
    {
        auto buffer = noiseBuffer (1, 128, random);
        const auto leftBefore = ProcessorInternals::filterState (p, 0);
        process (p, buffer);
        EXPECT_NE (ProcessorInternals::filterState (p, 0), leftBefore);
        EXPECT_TRUE (sameBits (ProcessorInternals::filterState (p, 1), rightState));
    }

    // Back in stereo the right channel resumes from the state it kept.
    setChannels (p, 2);
    p.prepareToPlay (44100.0, 4096);
    auto expectedRun = referenceFrom (p);
    ASSERT_TRUE (sameBits (expectedRun.filterStates[1], rightState));

    const auto input = noiseBuffer (2, 128, random);
    auto actual = copyOf (input), expected = copyOf (input);
    process (p, actual);
    expectedRun.process (expected, 2, 2, currentParameters (p));
    EXPECT_TRUE (identical (actual, expected));
}

TEST (BlockProcessing, ParameterChangesTakeEffectAtTheNextBlock)
{
    struct Change
    {
        const char* id;
        float value;
    };

    for (const auto& change : { Change { ParameterIds::speed, 4.2f }, Change { ParameterIds::depth, 1.0f }, Change { ParameterIds::swamp, 0.0f }, Change { ParameterIds::shape, 1.0f } })
    {
        SCOPED_TRACE (change.id);
        std::mt19937 random (5);
        PreparedProcessor changed, unchanged;

        for (auto* p : { &changed.processor, &unchanged.processor })
        {
            auto first = noiseBuffer (2, 64, random);
            process (*p, first);
            ProcessorInternals::setLfoPhase (*p, 4.0);
        }

        setParameter (changed.processor, change.id, change.value);
        auto expectedRun = referenceFrom (changed.processor);

        const auto input = noiseBuffer (2, 256, random);
        auto a = copyOf (input), b = copyOf (input), expected = copyOf (input);
        process (changed.processor, a);
        process (unchanged.processor, b);
        expectedRun.process (expected, 2, 2, currentParameters (changed.processor));

        EXPECT_TRUE (identical (a, expected));
        // The oscillator steps to the new value from the block's first sample on (the phase
        // moves only after it, so a new speed shows from the second).
        const auto firstChanged = juce::String (change.id) == ParameterIds::speed ? 1 : 0;
        EXPECT_NE (a.getSample (0, firstChanged), b.getSample (0, firstChanged));
    }
}

TEST (BlockProcessing, LowSampleRatesKeepTheLowPassStable)
{
    const auto cappedCoefficient = (float) (1.0 / twoPi);

    struct Case
    {
        double sampleRate;
        bool capped;
    };

    for (const auto& c : { Case { 1000.0, true }, Case { 8000.0, true }, Case { 8482.0, true },
                           Case { 8483.0, false }, Case { 11025.0, false }, Case { 192000.0, false } })
    {
        SCOPED_TRACE (c.sampleRate);
        PreparedProcessor prepared (c.sampleRate);
        auto& p = prepared.processor;
        const auto coefficient = ProcessorInternals::filterBaseCoefficient (p);

        if (c.capped)
            EXPECT_TRUE (sameBits (coefficient, cappedCoefficient));
        else
            EXPECT_TRUE (sameBits (coefficient, (float) (2700.0 / c.sampleRate)));

        // Full-scale noise through ten seconds stays within the largest gain of 2 times
        // the low-pass's peak gain, which close above the limit is large but finite.
        const auto step = 2.0 * 3.141592653589793 * (double) coefficient;
        const auto bound = 2.0 * (step > 1.0 ? step / (2.0 - step) : 1.0) * (1.0 + 1e-5);
        setParameters (p, { 5.0f, 1.0f, 0.0f, 1.0f });
        std::mt19937 random (6);
        auto peak = 0.0f;

        for (int block = 0; block < 10; ++block)
        {
            auto buffer = noiseBuffer (2, (int) c.sampleRate, random);
            process (p, buffer);
            peak = std::max (peak, buffer.getMagnitude (0, buffer.getNumSamples()));
        }

        EXPECT_LE (peak, bound);
    }

    // At the cap and full cutoff the low-pass all but follows its input.
    PreparedProcessor prepared (8000.0);
    passTheSilentFirstBlock (prepared.processor);
    auto buffer = constantBuffer (2, 1, 0.5f);
    process (prepared.processor, buffer);
    EXPECT_NEAR (buffer.getSample (0, 0), 0.5f, 1e-7f);
}

TEST (BlockProcessing, AnUnusableSampleRateHoldsTheOscillatorUntilAUsableOne)
{
    struct Case
    {
        const char* name;
        std::optional<double> sampleRate;
    };

    const auto infinity = std::numeric_limits<double>::infinity();

    for (const auto& c : { Case { "0 Hz", 0.0 }, Case { "NaN", std::numeric_limits<double>::quiet_NaN() },
                           Case { "infinity", infinity }, Case { "minus infinity", -infinity },
                           Case { "no preparation", std::nullopt } })
    {
        SCOPED_TRACE (c.name);
        TumblewispAudioProcessor p;
        setChannels (p, 2);
        setParameters (p, { 5.0f, 1.0f, 1.0f, 1.0f });
        std::mt19937 random (9);

        if (c.sampleRate.has_value())
            p.prepareToPlay (*c.sampleRate, 512);

        // The oscillator holds still while the rate gives it no step.
        for (int block = 0; block < 3; ++block)
        {
            auto buffer = noiseBuffer (2, 512, random);
            process (p, buffer);
            EXPECT_EQ (ProcessorInternals::lfoIncrement (p), 0.0);
            EXPECT_EQ (ProcessorInternals::lfoPhase (p), 0.0);
        }

        // A usable rate brings the sound back at the next block.
        p.prepareToPlay (44100.0, 512);
        auto buffer = noiseBuffer (2, 512, random);
        process (p, buffer);

        EXPECT_GT (buffer.getMagnitude (0, 512), 0.01f);
        EXPECT_TRUE (std::isfinite (buffer.getRMSLevel (0, 0, 512)) && std::isfinite (buffer.getRMSLevel (1, 0, 512)));
        EXPECT_NEAR (ProcessorInternals::lfoPhase (p), 512 * ProcessorInternals::lfoIncrement (p), 1e-9);
    }
}

TEST (BlockProcessing, NonFiniteSamplesResetOnlyTheirChannel)
{
    constexpr auto inf = std::numeric_limits<float>::infinity();
    constexpr auto crest = 3.141592653589793 / 2.0;
    constexpr auto trough = 3.0 * crest;

    struct Case
    {
        const char* name;
        float bad;
        float depth;
        double phase;
    };

    // The overflow comes from a finite sample that the gain pushes past the float range.
    for (const auto& c : { Case { "NaN at the crest", std::numeric_limits<float>::quiet_NaN(), 0.5f, crest },
                           Case { "NaN in the trough", std::numeric_limits<float>::quiet_NaN(), 0.5f, trough },
                           Case { "+inf at the crest", inf, 0.5f, crest },
                           Case { "-inf in the trough", -inf, 0.5f, trough },
                           Case { "overflow", std::numeric_limits<float>::max(), 1.0f, crest } })
    {
        SCOPED_TRACE (c.name);
        std::mt19937 random (7);
        PreparedProcessor prepared;
        auto& p = prepared.processor;
        setParameters (p, { 0.1f, c.depth, 0.5f, 0.0f });
        auto first = noiseBuffer (2, 64, random);
        process (p, first);
        ProcessorInternals::setLfoPhase (p, c.phase);

        auto input = noiseBuffer (2, 200, random);
        input.setSample (0, 100, c.bad);

        // Expected: the left channel's state drops to 0 at the bad sample, which is output
        // as 0, and the channel carries on from there; the right channel never notices.
        auto expectedRun = referenceFrom (p);
        const auto parameters = currentParameters (p);
        auto expected = copyOf (input);
        expected.setSample (0, 100, 0.0f);
        juce::AudioBuffer<float> before (expected.getArrayOfWritePointers(), 2, 0, 100);
        juce::AudioBuffer<float> after (expected.getArrayOfWritePointers(), 2, 100, 100);
        expectedRun.process (before, 2, 2, parameters);
        expectedRun.filterStates[0] = 0.0f;
        expectedRun.process (after, 2, 2, parameters);

        process (p, input);

        EXPECT_NE (input.getSample (0, 99), 0.0f);
        EXPECT_TRUE (identical (input, expected));
    }
}

TEST (BlockProcessing, PhaseWrapsAtBlockEndsOnly)
{
    PreparedProcessor prepared;
    auto& p = prepared.processor;
    setParameter (p, ParameterIds::speed, 5.0f);
    passTheSilentFirstBlock (p);
    const auto increment = ProcessorInternals::lfoIncrement (p);

    // Blocks of 1000 at 5 Hz: the first eight stay within the first cycle; the run
    // then goes on for some six minutes, ten cycles a block.
    auto wrapped = false;

    for (int block = 0; block < 200; ++block)
    {
        const auto length = block < 20 ? 1000 : 88200;
        auto expected = ProcessorInternals::lfoPhase (p);
        for (int i = 0; i < length; ++i)
            expected += increment;

        auto buffer = constantBuffer (2, length, 0.1f);
        process (p, buffer);

        const auto phase = ProcessorInternals::lfoPhase (p);
        wrapped = wrapped || expected >= twoPi;
        ASSERT_EQ (phase, expected < twoPi ? expected : std::fmod (expected, twoPi)) << "block " << block;
        ASSERT_GE (phase, 0.0);
        ASSERT_LT (phase, twoPi);
    }

    EXPECT_TRUE (wrapped);
}

TEST (BlockProcessing, ChannelsBeyondTheStateTableStaySilent)
{
    // No accepted layout has more than two channels; a processor that accepts any shows
    // what happens when a host forces one anyway.
    struct AnyLayoutProcessor : TumblewispAudioProcessor
    {
        bool isBusesLayoutSupported (const BusesLayout&) const override { return true; }
    };

    AnyLayoutProcessor processor;
    const auto channels = juce::AudioChannelSet::discreteChannels (24);
    ASSERT_TRUE (processor.setBusesLayout (makeLayout ({ channels }, { channels })));
    processor.prepareToPlay (44100.0, 512);
    const auto coefficient = ProcessorInternals::filterBaseCoefficient (processor);

    std::mt19937 random (8);
    const auto mono = noiseBuffer (1, 512, random);
    auto expected = juce::AudioBuffer<float> (1, 512);
    auto expectedRun = referenceFrom (processor);

    for (int block = 0; block < 2; ++block)
    {
        auto buffer = constantBuffer (24, 512, 0.0f);
        for (int channel = 0; channel < 24; ++channel)
            buffer.copyFrom (channel, 0, mono, 0, 0, 512);

        expected.makeCopyOf (mono);
        expectedRun.process (expected, 1, 1, currentParameters (processor));
        process (processor, buffer);

        for (int channel = 0; channel < 24; ++channel)
        {
            SCOPED_TRACE (channel);
            juce::AudioBuffer<float> one (buffer.getArrayOfWritePointers() + channel, 1, 512);

            if (channel < 20)
                EXPECT_TRUE (identical (one, expected));
            else
                EXPECT_EQ (one.getMagnitude (0, 512), 0.0f);
        }
    }

    EXPECT_TRUE (sameBits (ProcessorInternals::filterBaseCoefficient (processor), coefficient));
}
