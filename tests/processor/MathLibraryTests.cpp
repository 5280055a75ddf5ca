#include "processor/SignalPath.h"

#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>

#include <cstring>
#include <limits>
#include <random>

// The signal path skips library calls where it relies on what the library returns;
// these tests hold the platform's libm to those facts, under the processor's denormal mode.

namespace
{
float fromBits (uint32_t bits)
{
    float value;
    std::memcpy (&value, &bits, sizeof (float));
    return value;
}

uint32_t bitsOf (float value)
{
    uint32_t bits;
    std::memcpy (&bits, &value, sizeof (float));
    return bits;
}
} // namespace

TEST (MathLibrary, TanhfIsExactlyOneBeyondTheSaturationPoint)
{
    juce::ScopedNoDenormals noDenormals;

    // The sine's peak is 1, so tanhf never sees more than 10; every float past the
    // threshold up to there is checked, on both sides.
    ASSERT_NE (tanhf (SignalPath::tanhSaturation), 1.0f);
    const auto first = bitsOf (SignalPath::tanhSaturation) + 1;
    const auto last = bitsOf (10.0f);
    auto checked = 0;

    for (auto bits = first; bits <= last; ++bits)
    {
        const auto x = fromBits (bits);
        ASSERT_EQ (bitsOf (tanhf (x)), bitsOf (1.0f)) << x;
        ASSERT_EQ (bitsOf (tanhf (-x)), bitsOf (-1.0f)) << -x;
        ASSERT_EQ (bitsOf (SignalPath::saturate (x)), bitsOf (1.0f));
        ASSERT_EQ (bitsOf (SignalPath::saturate (-x)), bitsOf (-1.0f));
        ++checked;
    }

    EXPECT_GT (checked, 1000000);
}

TEST (MathLibrary, PowfOfExponentOneChangesNoGainedSample)
{
    juce::ScopedNoDenormals noDenormals;

    // What the low-pass sees of a bent sample is its product with the gain. The values go
    // through volatiles, or the compiler folds powf (x, 1) and x * 1 to x as if no denormal
    // mode were set, and the check would reach neither the library nor the multiplier.
    volatile float gains[] { 0.0f, 0.1f, 0.5f, 1.0f, 1.0000001f, 1.9999999f, 2.0f };
    volatile auto one = 1.0f;

    const auto check = [&] (float x)
    {
        const auto p = powf (std::abs (x), one);
        const auto y = x < 0.0f ? -p : p;

        for (const float gain : gains)
        {
            const auto expected = y * gain;
            const auto actual = SignalPath::bend (x, 1.0f) * gain;
            ASSERT_TRUE (bitsOf (actual) == bitsOf (expected) || (std::isnan (actual) && std::isnan (expected)))
                << "x " << x << " gain " << gain;
        }
    };

    // Every denormal, where powf and the magnitude part ways, ...
    for (uint32_t bits = 0; bits < 0x00800000u; ++bits)
    {
        check (fromBits (bits));
        check (fromBits (bits | 0x80000000u));
    }

    // ... a spread of every binade, and the specials.
    std::mt19937 random (9);
    std::uniform_int_distribution<uint32_t> mantissa (0, 0x007fffffu);

    for (uint32_t exponent = 1; exponent < 255; ++exponent)
        for (int i = 0; i < 2048; ++i)
        {
            const auto bits = (exponent << 23) | mantissa (random);
            check (fromBits (bits));
            check (fromBits (bits | 0x80000000u));
        }

    for (const auto special : { std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::max() })
        check (special);
}
