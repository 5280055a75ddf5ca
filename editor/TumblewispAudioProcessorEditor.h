#pragma once

#include "editor/CustomLook.h"

#include <juce_audio_processors/juce_audio_processors.h>

class TumblewispAudioProcessor;

/** The plug-in's own fixed 400 by 400 window: four knobs bound to the parameters,
    their captions, the title and three pictures. */
class TumblewispAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit TumblewispAudioProcessorEditor (TumblewispAudioProcessor&);
    ~TumblewispAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    friend struct EditorInternals;

    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;

    void addKnob (juce::Slider& knob, juce::Label& caption, std::unique_ptr<SliderAttachment>& attachment,
                  const juce::String& parameterId, float minimum, float maximum, float midPoint);

    // Members are destroyed in the reverse of their order here: each attachment is
    // destroyed before its knob, and each caption before the knob it is attached to.
    juce::Slider speedSlider;
    juce::Label speedLabel;
    juce::Slider depthSlider;
    juce::Label depthLabel;
    juce::Slider swampSlider;
    juce::Label swampLabel;
    juce::Slider shapeSlider;
    juce::Label shapeLabel;
    juce::Label titleLabel;

    CustomLook customLook;

    juce::Image topLeftImage;
    juce::Image bottomImage;
    juce::Image topRightImage;

    std::unique_ptr<SliderAttachment> speedAttachment;
    std::unique_ptr<SliderAttachment> depthAttachment;
    std::unique_ptr<SliderAttachment> swampAttachment;
    std::unique_ptr<SliderAttachment> shapeAttachment;

    TumblewispAudioProcessor& audioProcessor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TumblewispAudioProcessorEditor)
};
