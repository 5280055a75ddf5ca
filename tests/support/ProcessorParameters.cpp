#include "ProcessorParameters.h"

void setParameter (TumblewispAudioProcessor& processor, const juce::String& id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

void setParameters (TumblewispAudioProcessor& processor, ReferenceTremolo::Parameters values)
{
    setParameter (processor, "SPEED", values.speed);
    setParameter (processor, "DEPTH", values.depth);
    setParameter (processor, "SWAMP", values.swamp);
    setParameter (processor, "SHAPE", values.shape);
}

ReferenceTremolo::Parameters currentParameters (const TumblewispAudioProcessor& processor)
{
    const auto raw = [&] (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); };
    return { raw ("SPEED"), raw ("DEPTH"), raw ("SWAMP"), raw ("SHAPE") };
}
