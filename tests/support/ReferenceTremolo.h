#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

/** The tremolo written the plain way: each channel in turn, every step of every
    sample spelled out, three library calls per sample and channel. The tests hold
    the processor to it bit for bit, and the benchmarks measure the processor against it. */
class ReferenceTremolo
{
public:
    struct Parameters
    {
        float speed = 0.5f, depth = 0.5f, swamp = 0.5f, shape = 0.5f;
    };

    void prepare (double sampleRate);

    /** Processes the first inputs channels of the buffer in place and clears
        the rest up to outputs, as the processor does with its bus channels. */
    void process (juce::AudioBuffer<float>& buffer, int inputs, int outputs, Parameters parameters);

    float currentShape = 0.0f;
    double currentSpeed = 1.0;
    double currentSampleRate = 0.0;
    double lfoPhase = 0.0;
    double lfoIncrement = 0.0;
    std::array<float, 20> filterStates {};
    float filterBaseCoefficient = 0.0f;
    bool hasProcessedBlock = false;
};
