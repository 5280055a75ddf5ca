#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <random>

/** Uniform noise at full scale, channel after channel; the same from the same generator state. */
juce::AudioBuffer<float> noiseBuffer (int channels, int samples, std::mt19937& random);
