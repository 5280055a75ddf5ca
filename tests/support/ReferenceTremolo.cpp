#include "support/ReferenceTremolo.h"

#include <cmath>

namespace
{
constexpr double pi = 3.141592653589793;
}

void ReferenceTremolo::prepare (double sampleRate)
{
    currentSampleRate = sampleRate;
    lfoIncrement = currentSpeed / sampleRate * 2.0 * pi;
    filterBaseCoefficient = (float) (2700.0 / sampleRate);

    if (2.0 * pi * (double) filterBaseCoefficient >= 2.0)
        filterBaseCoefficient = (float) (1.0 / (2.0 * pi));
}

void ReferenceTremolo::process (juce::AudioBuffer<float>& buffer, int inputs, int outputs, Parameters parameters)
{
    juce::ScopedNoDenormals noDenormals;

    currentShape = parameters.shape;
    currentSpeed = (double) parameters.speed;
    lfoIncrement = currentSpeed / currentSampleRate * 2.0 * pi;
    const auto depth = parameters.depth;
    const auto swamp = parameters.swamp;

    const auto n = buffer.getNumSamples();

    for (int channel = inputs; channel < outputs; ++channel)
        buffer.clear (channel, 0, n);

    const auto blockStartPhase = lfoPhase;

    for (int channel = 0; channel < inputs; ++channel)
    {
        auto* samples = buffer.getWritePointer (channel);

        if (channel >= (int) filterStates.size())
        {
            buffer.clear (channel, 0, n);
            continue;
        }

        double phi = blockStartPhase;

        for (int j = 0; j < n; ++j)
        {
            const float x = samples[j];

            const float s = sinf ((float) phi);
            const double w = (1.0 - (double) currentShape) * (double) s;
            const float t = tanhf (s * 10.0f);
            const float lfo = (float) ((double) (t * currentShape) + w);
            phi = phi + lfoIncrement;
            const float m = lfo * depth + 1.0f;
            const float T = m < 1.0f ? 1.0f - m : 0.0f;
            const float A = T * swamp;
            const float e = A * -0.800000011920929f + 1.0f;
            const float p = powf (std::fabs (x), e);
            const float y = x < 0.0f ? -p : p;
            const float g = A * 6.0f < 0.8999999761581421f ? A * 6.0f : 0.8999999761581421f;
            const float k = (1.0f - g) * filterBaseCoefficient;
            const float z = filterStates[(size_t) channel];
            const float d = (y * m - z) * 2.0f;
            float zNext = (float) ((double) d * pi * (double) k + (double) z);

            if (! std::isfinite (zNext))
                zNext = 0.0f;

            filterStates[(size_t) channel] = zNext;
            samples[j] = hasProcessedBlock ? zNext : 0.0f;
        }

        lfoPhase = phi;
    }

    lfoPhase = std::fmod (lfoPhase, 2.0 * pi);
    hasProcessedBlock = true;
}
