#include "support/NoiseBuffer.h"

juce::AudioBuffer<float> noiseBuffer (int channels, int samples, std::mt19937& random)
{
    std::uniform_real_distribution<float> sample (-1.0f, 1.0f);
    juce::AudioBuffer<float> buffer (channels, samples);

    for (int channel = 0; channel < channels; ++channel)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (channel, i, sample (random));

    return buffer;
}
