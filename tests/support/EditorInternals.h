#pragma once

#include "editor/TumblewispAudioProcessorEditor.h"
#include "processor/ParameterLayout.h"

#include <array>

/** Access to the editor's own components and pictures, which no host can reach. */
struct EditorInternals
{
    struct Knob
    {
        const char* id;
        juce::Slider& slider;
        juce::Label& caption;
    };

    static std::array<Knob, 4> knobs (TumblewispAudioProcessorEditor& e)
    {
        return { { { ParameterIds::speed, e.speedSlider, e.speedLabel },
                   { ParameterIds::depth, e.depthSlider, e.depthLabel },
                   { ParameterIds::swamp, e.swampSlider, e.swampLabel },
                   { ParameterIds::shape, e.shapeSlider, e.shapeLabel } } };
    }

    static juce::Slider& knob (TumblewispAudioProcessorEditor& e, const juce::String& id)
    {
        for (auto& k : knobs (e))
            if (id == k.id)
                return k.slider;

        jassertfalse;
        return e.speedSlider;
    }

    static juce::Label& title (TumblewispAudioProcessorEditor& e) { return e.titleLabel; }

    /** The child components as the class declares them. */
    static std::array<juce::Component*, 9> components (TumblewispAudioProcessorEditor& e)
    {
        return { &e.speedSlider, &e.speedLabel, &e.depthSlider, &e.depthLabel,
                 &e.swampSlider, &e.swampLabel, &e.shapeSlider, &e.shapeLabel, &e.titleLabel };
    }

    /** The pictures in the order they are painted: top left, bottom, top right. */
    static std::array<juce::Image*, 3> pictures (TumblewispAudioProcessorEditor& e)
    {
        return { &e.topLeftImage, &e.bottomImage, &e.topRightImage };
    }
};
