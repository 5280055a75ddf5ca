#pragma once

#include "processor/TumblewispAudioProcessor.h"

/** Read access to the processor's signal-path state, which no host or editor can see. */
struct ProcessorInternals
{
    static float currentShape (const TumblewispAudioProcessor& p) { return p.currentShape; }
    static double currentSpeed (const TumblewispAudioProcessor& p) { return p.currentSpeed; }
    static double currentSampleRate (const TumblewispAudioProcessor& p) { return p.currentSampleRate; }
    static double lfoPhase (const TumblewispAudioProcessor& p) { return p.lfoPhase; }
    static double lfoIncrement (const TumblewispAudioProcessor& p) { return p.lfoIncrement; }
    static float filterState (const TumblewispAudioProcessor& p, int channel) { return p.filterStates[(size_t) channel]; }
    static float filterBaseCoefficient (const TumblewispAudioProcessor& p) { return p.filterBaseCoefficient; }
    static bool hasProcessedBlock (const TumblewispAudioProcessor& p) { return p.hasProcessedBlock; }

    static void setLfoPhase (TumblewispAudioProcessor& p, double phase) { p.lfoPhase = phase; }
    static void setFilterState (TumblewispAudioProcessor& p, int channel, float value) { p.filterStates[(size_t) channel] = value; }
};
