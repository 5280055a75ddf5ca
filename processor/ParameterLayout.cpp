#include "processor/ParameterLayout.h"

namespace
{
constexpr float gridInterval = 0.01f;

// The framework's own snap rounds the product and the sum separately in single
// precision, which puts defaults such as 0.5 one ulp off the grid. Grid point n is
// start + interval * n rounded once: the sum is exact in double, so the single
// rounding to float is what a fused multiply-add gives.
float snapToGrid (float start, float end, float v)
{
    const auto n = std::floor ((v - start) / gridInterval + 0.5f);
    v = (float) ((double) start + (double) gridInterval * (double) n);

    return (v <= start || end <= start) ? start : (v >= end ? end : v);
}
} // namespace

juce::NormalisableRange<float> makeGridRange (float minimum, float maximum)
{
    using Remap = juce::NormalisableRange<float>::ValueRemapFunction;

    juce::NormalisableRange<float> range (minimum, maximum, Remap {}, Remap {}, snapToGrid);
    range.interval = gridInterval; // drives the two-decimal value text
    return range;
}

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    struct Spec
    {
        const char* id;
        const char* name;
        float minimum, maximum;
    };

    static constexpr Spec specs[] { { ParameterIds::speed, "Speed", 0.1f, 5.0f },
                                    { ParameterIds::depth, "Depth", 0.1f, 1.0f },
                                    { ParameterIds::swamp, "Swamp", 0.0f, 1.0f },
                                    { ParameterIds::shape, "Shape", 0.0f, 1.0f } };

    std::vector<std::unique_ptr<juce::RangedAudioParameter>> parameters;

    for (const auto& spec : specs)
        parameters.push_back (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { spec.id, 1 },
                                                                           spec.name,
                                                                           makeGridRange (spec.minimum, spec.maximum),
                                                                           0.5f));

    return { parameters.begin(), parameters.end() };
}
