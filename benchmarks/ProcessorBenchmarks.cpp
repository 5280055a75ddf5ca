#include "ReferenceTremolo.h"
#include "TumblewispAudioProcessor.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <random>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int channels = 2;

struct Setting
{
    const char* name;
    float depth, swamp, shape;
};

constexpr Setting settings[] { { "default", 0.5f, 0.5f, 0.5f }, { "full", 1.0f, 1.0f, 1.0f } };

void setParameter (TumblewispAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

juce::AudioBuffer<float> noise (int samples)
{
    std::mt19937 random (1);
    std::uniform_real_distribution<float> sample (-1.0f, 1.0f);
    juce::AudioBuffer<float> buffer (channels, samples);

    for (int channel = 0; channel < channels; ++channel)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (channel, i, sample (random));

    return buffer;
}

void apply (TumblewispAudioProcessor& processor, const Setting& setting)
{
    setParameter (processor, "DEPTH", setting.depth);
    setParameter (processor, "SWAMP", setting.swamp);
    setParameter (processor, "SHAPE", setting.shape);
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
    apply (tremolo, setting);
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
    apply (tremolo, setting);

    ReferenceTremolo reference;
    reference.prepare (sampleRate);

    const auto input = noise (blockSize);
    juce::AudioBuffer<float> buffer (channels, blockSize);

    for (auto _ : state)
    {
        buffer.makeCopyOf (input, true);
        const auto raw = [&] (const char* id) { return tremolo.parameters.getRawParameterValue (id)->load(); };
        reference.process (buffer, channels, channels, { raw ("SPEED"), raw ("DEPTH"), raw ("SWAMP"), raw ("SHAPE") });
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
