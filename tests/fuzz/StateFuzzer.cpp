#include "support/StateRules.h"

#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize (int*, char***);
extern "C" int LLVMFuzzerTestOneInput (const juce::uint8* data, size_t size);

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // Parameters and value trees expect the framework to be up. It is never shut down:
    // the fuzzer leaves through exit(), when the framework's own statics are already going.
    juce::initialiseJuce_GUI();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const juce::uint8* data, size_t size)
{
    TumblewispAudioProcessor processor, reloaded;
    const auto problem = StateRules::restoreAndCheck (processor, reloaded, data, (int) size);

    if (problem.isNotEmpty())
    {
        std::fprintf (stderr, "%s\n", problem.toRawUTF8());
        std::abort();
    }

    return 0;
}
