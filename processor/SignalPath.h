#pragma once

#include <algorithm>
#include <cmath>

/** The per-sample arithmetic of the tremolo. Every step keeps the precision the
    sound is defined in (single or double), so the output is reproducible bit
    for bit; -ffp-contract=off keeps the compiler from fusing any of it. */
namespace SignalPath
{
constexpr double pi = 3.141592653589793;
constexpr double twoPi = 2.0 * pi;

/** The oscillator's phase advance per sample. A rate that gives no finite advance (0 Hz,
    NaN, infinity, or no preparation yet) holds the oscillator still: a NaN phase would
    otherwise survive every later block and silence the plug-in until it is reloaded. */
inline double phaseIncrement (double speed, double sampleRate) noexcept
{
    const auto increment = speed / sampleRate * 2.0 * pi;
    return std::isfinite (increment) ? increment : 0.0;
}

/** What the oscillator sets for one sample; the same for every channel. */
struct Modulation
{
    float gain;        // swings around 1 by the depth
    float exponent;    // of the level-dependent power curve, 0.2 to 1
    float coefficient; // low-pass cutoff as a fraction of the sample rate
};

/** tanhf of its argument. Beyond tanhSaturation tanhf rounds to exactly 1 (checked
    over every float out to 10, ten times the sine's peak), so the costly call is
    skipped over that part of the cycle. */
constexpr float tanhSaturation = 9.0109129f;

inline float saturate (float x) noexcept
{
    return std::abs (x) > tanhSaturation ? std::copysign (1.0f, x) : tanhf (x);
}

/** The oscillator's value from the sine of its phase, s, and tanhf of 10 s: the sine
    blended by the shape towards its saturated form. */
inline float blend (float s, float saturated, float shape) noexcept
{
    const auto w = (1.0 - (double) shape) * (double) s;
    return (float) ((double) (saturated * shape) + w);
}

/** What an oscillator value sets for the sample. */
inline Modulation modulate (float lfo, float depth, float swamp, float baseCoefficient) noexcept
{
    const auto m = lfo * depth + 1.0f;
    const auto trough = m < 1.0f ? 1.0f - m : 0.0f;
    const auto amount = trough * swamp;
    const auto exponent = amount * -0.8f + 1.0f;
    const auto g = std::min (amount * 6.0f, 0.9f);

    return { m, exponent, (1.0f - g) * baseCoefficient };
}

/** The sign-preserving power curve; -0 counts as not negative. */
inline float bend (float x, float exponent) noexcept
{
    const auto magnitude = std::abs (x);

    // Over the upper half of the swing the exponent is exactly 1 and powf would hand
    // the magnitude back (a denormal aside, which the gain's multiply flushes anyway),
    // so skipping the call there changes no output bit.
    const auto p = exponent == 1.0f ? magnitude : powf (magnitude, exponent);
    return x < 0.0f ? -p : p;
}

/** One forward-Euler step of the one-pole low-pass from state z towards input u. */
inline float lowPass (float z, float u, float coefficient) noexcept
{
    const auto d = (u - z) * 2.0f;
    return (float) ((double) d * pi * (double) coefficient + (double) z);
}

/** What a channel's state becomes after a non-finite one, which would otherwise poison
    the channel for good. Out of line, so that the check stays a branch that is never
    taken rather than a select that lengthens the low-pass's recursion at every sample. */
[[gnu::noinline, gnu::cold]] inline float restartState() noexcept
{
    return 0.0f;
}

/** Bends, amplifies and low-passes one sample of a channel; returns the channel's new state. */
inline float filter (float x, float state, const Modulation& step) noexcept
{
    const auto next = lowPass (state, bend (x, step.exponent) * step.gain, step.coefficient);
    return std::isfinite (next) ? next : restartState();
}
} // namespace SignalPath
