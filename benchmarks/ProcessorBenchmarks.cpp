#include "processor/TumblewispAudioProcessor.h"
#include "support/NoiseBuffer.h"
#include "support/ProcessorParameters.h"
#include "support/ReferenceTremolo.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int channels = 2;

struct Setting
{
    const char* name;
    ReferenceTremolo::Parameters parameters;
};

constexpr Setting settings[] { { "default", { 0.5f, 0.5f, 0.5f, 0.5f } }, { "full", { 0.5f, 1.0f, 1.0f, 1.0f } } };

juce::AudioBuffer<float> noise (int samples)
{
    std::mt19937 random (1);
    return noiseBuffer (channels, samples, random);
}

void reportPerFrame (benchmark::State& state, int blockSize)
{
    const auto frames = (double) blockSize;
    state.counters["time_per_frame"] = benchmark::Counter (frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel (settings[state.range (1)].name);
}

// Each iteration restores the same input, so both sides see the same audio in every block.
void processor (benchmark::State& state)
{
    const auto blockSize = (int) state.range (0);
    const auto& setting = settings[state.range (1)];

    TumblewispAudioProcessor tremolo;
    setParameters (tremolo, setting.parameters);
    tremolo.prepareToPlay (sampleRate, blockSize);

    const auto input = noise (blockSize);
    juce::AudioBuffer<float> buffer (channels, blockSize);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        buffer.makeCopyOf (input, true);
        tremolo.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    reportPerFrame (state, blockSize);
}

void baseline (benchmark::State& state)
{
    const auto blockSize = (int) state.range (0);
    const auto& setting = settings[state.range (1)];

    // The processor looks its parameters up once a block; the baseline does the same.
    TumblewispAudioProcessor tremolo;
    setParameters (tremolo, setting.parameters);

    ReferenceTremolo reference;
    reference.prepare (sampleRate);

    const auto input = noise (blockSize);
    juce::AudioBuffer<float> buffer (channels, blockSize);

    for (auto _ : state)
    {
        buffer.makeCopyOf (input, true);
        reference.process (buffer, channels, channels, currentParameters (tremolo));
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    reportPerFrame (state, blockSize);
}

void blockSizesAndSettings (benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgNames ({ "block", "setting" });

    for (const auto blockSize : { 64, 512, 4096 })
        for (const auto setting : { 0, 1 })
            benchmark->Args ({ blockSize, setting });
}
} // namespace

BENCHMARK (processor)->Apply (blockSizesAndSettings);
BENCHMARK (baseline)->Apply (blockSizesAndSettings);

int main (int argc, char** argv)
{
    // Parameters expect the framework's message manager.
    juce::ScopedJuceInitialiser_GUI framework;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
