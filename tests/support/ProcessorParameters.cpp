#include "support/ProcessorParameters.h"
#include "processor/ParameterLayout.h"

void setParameter (TumblewispAudioProcessor& processor, const juce::String& id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

void setParameters (TumblewispAudioProcessor& processor, ReferenceTremolo::Parameters values)
{
    setParameter (processor, ParameterIds::speed, values.speed);
    setParameter (processor, ParameterIds::depth, values.depth);
    setParameter (processor, ParameterIds::swamp, values.swamp);
    setParameter (processor, ParameterIds::shape, values.shape);
}

ReferenceTremolo::Parameters currentParameters (const TumblewispAudioProcessor& processor)
{
    const auto raw = [&] (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); };
    return { raw (ParameterIds::speed), raw (ParameterIds::depth), raw (ParameterIds::swamp), raw (ParameterIds::shape) };
}
