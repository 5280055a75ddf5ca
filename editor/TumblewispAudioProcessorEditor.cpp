#include "editor/TumblewispAudioProcessorEditor.h"

#include "BinaryData.h"
#include "processor/ParameterLayout.h"
#include "processor/TumblewispAudioProcessor.h"

TumblewispAudioProcessorEditor::TumblewispAudioProcessorEditor (TumblewispAudioProcessor& p)
    : AudioProcessorEditor (p),
      audioProcessor (p)
{
    setSize (400, 400);
    setLookAndFeel (&customLook);

    topLeftImage = juce::ImageCache::getFromMemory (BinaryData::topLeftPicture, BinaryData::topLeftPictureSize);
    bottomImage = juce::ImageCache::getFromMemory (BinaryData::bottomPicture, BinaryData::bottomPictureSize);
    topRightImage = juce::ImageCache::getFromMemory (BinaryData::topRightPicture, BinaryData::topRightPictureSize);

    addKnob (speedSlider, speedLabel, speedAttachment, ParameterIds::speed, 0.1f, 5.0f, 2.55f);
    addKnob (depthSlider, depthLabel, depthAttachment, ParameterIds::depth, 0.1f, 1.0f, 0.55f);
    addKnob (swampSlider, swampLabel, swampAttachment, ParameterIds::swamp, 0.1f, 1.0f, 0.55f);
    addKnob (shapeSlider, shapeLabel, shapeAttachment, ParameterIds::shape, 0.1f, 1.0f, 0.55f);

    titleLabel.setText ("TUMBLE\nWISP", juce::dontSendNotification);
    titleLabel.setJustificationType (juce::Justification::centred);
    titleLabel.setFont (juce::Font (30.0f, juce::Font::plain));
    addAndMakeVisible (titleLabel);
}

TumblewispAudioProcessorEditor::~TumblewispAudioProcessorEditor()
{
    // customLook, a member, is destroyed before the component base that refers to it,
    // and destroying a look-and-feel still referred to trips the framework's debug
    // assertion; so the base lets go of it first.
    setLookAndFeel (nullptr);
}

void TumblewispAudioProcessorEditor::addKnob (juce::Slider& knob,
                                              juce::Label& caption,
                                              std::unique_ptr<SliderAttachment>& attachment,
                                              const juce::String& parameterId,
                                              float minimum,
                                              float maximum,
                                              float midPoint)
{
    knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    knob.setTextBoxStyle (juce::Slider::NoTextBox, true, 100, 25);
    addAndMakeVisible (knob);

    attachment = std::make_unique<SliderAttachment> (audioProcessor.parameters, parameterId, knob);

    // The knob keeps a range of its own, without steps; the attachment still puts
    // every value it sends on the parameter's grid.
    knob.setRange (minimum, maximum, 0.0);
    knob.setSkewFactorFromMidPoint (midPoint);

    caption.setText (parameterId, juce::dontSendNotification);
    caption.setJustificationType (juce::Justification::centred);
    caption.attachToComponent (&knob, false);
}

void TumblewispAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));

    const auto width = (float) getWidth();
    const auto height = (float) getHeight();

    const auto drawScaled = [&g] (const juce::Image& image, float x, float y)
    {
        const auto tenthWidth = (float) image.getWidth() / 10.0f;
        const auto tenthHeight = (float) image.getHeight() / 10.0f;
        g.drawImage (image, (int) x, (int) y, (int) tenthWidth, (int) tenthHeight,
                     0, 0, image.getWidth(), image.getHeight());
    };

    drawScaled (topLeftImage, 0.0f, 0.0f);
    drawScaled (bottomImage,
                0.5f * width + 0.5f * ((float) bottomImage.getWidth() / -10.0f),
                height - (float) bottomImage.getHeight() / 10.0f);
    drawScaled (topRightImage, width - (float) topRightImage.getWidth() / 10.0f, 0.0f);
}

void TumblewispAudioProcessorEditor::resized()
{
    using Track = juce::Grid::TrackInfo;
    using Fr = juce::Grid::Fr;

    juce::Grid grid;
    grid.templateColumns = { Track (Fr (1)), Track (Fr (1)) };
    grid.templateRows = { Track (Fr (1)), Track (Fr (1)), Track (Fr (1)), Track (Fr (1)), Track (Fr (1)) };
    grid.items = { juce::GridItem().withArea (1, juce::GridItem::Span (2)),
                   juce::GridItem (speedSlider),
                   juce::GridItem (depthSlider),
                   juce::GridItem (titleLabel).withArea (3, juce::GridItem::Span (2)),
                   juce::GridItem (swampSlider),
                   juce::GridItem (shapeSlider),
                   juce::GridItem().withArea (5, juce::GridItem::Span (2)) };
    grid.performLayout (getLocalBounds());
}
