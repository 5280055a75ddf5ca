#include "processor/ParameterLayout.h"
#include "support/SignalTestSupport.h"

#include <atomic>
#include <thread>

using namespace SignalTestSupport;

TEST (ParameterConcurrency, EveryBlockWorksWithOneValuePerParameterWhileAnotherThreadSetsThem)
{
    PreparedProcessor prepared (48000.0);
    auto& p = prepared.processor;

    // Two sets of values to flip between; each block must have run with one value
    // of each parameter, from either set, however the changes fell within it.
    ReferenceTremolo::Parameters sets[2];
    setParameters (p, { 0.5f, 0.3f, 0.2f, 0.1f });
    sets[0] = currentParameters (p);
    setParameters (p, { 4.0f, 1.0f, 0.9f, 0.8f });
    sets[1] = currentParameters (p);

    const char* const ids[] { ParameterIds::speed, ParameterIds::depth, ParameterIds::swamp, ParameterIds::shape };
    std::atomic<bool> done { false };

    std::thread writer ([&]
    {
        std::mt19937 random (11);
        std::uniform_int_distribution<int> pick (0, 1);

        while (! done)
        {
            for (const auto* id : ids)
            {
                const auto& set = sets[pick (random)];
                const auto value = id == ids[0] ? set.speed : id == ids[1] ? set.depth : id == ids[2] ? set.swamp : set.shape;
                setParameter (p, id, value);
            }
        }
    });

    std::mt19937 random (12);
    bool seen[4][2] {};

    for (int block = 0; block < 400; ++block)
    {
        const auto input = noiseBuffer (2, 512, random);
        auto before = referenceFrom (p);
        juce::AudioBuffer<float> output;
        output.makeCopyOf (input);
        process (p, output);

        // The speed and shape a block used are left in the processor; the depth and swamp
        // are whichever of the sets reproduce the output.
        const auto speed = (float) ProcessorInternals::currentSpeed (p);
        const auto shape = ProcessorInternals::currentShape (p);
        auto matched = false;

        for (int depth = 0; depth < 2 && ! matched; ++depth)
        {
            for (int swamp = 0; swamp < 2 && ! matched; ++swamp)
            {
                auto reference = before;
                juce::AudioBuffer<float> expected;
                expected.makeCopyOf (input);
                reference.process (expected, 2, 2, { speed, sets[depth].depth, sets[swamp].swamp, shape });

                if (identical (output, expected))
                {
                    matched = true;
                    seen[1][depth] = seen[2][swamp] = true;
                }
            }
        }

        ASSERT_TRUE (matched) << "block " << block;
        ASSERT_TRUE (speed == sets[0].speed || speed == sets[1].speed);
        ASSERT_TRUE (shape == sets[0].shape || shape == sets[1].shape);
        seen[0][speed == sets[1].speed] = true;
        seen[3][shape == sets[1].shape] = true;
    }

    done = true;
    writer.join();

    for (int parameter = 0; parameter < 4; ++parameter)
        EXPECT_TRUE (seen[parameter][0] && seen[parameter][1]) << ids[parameter] << " never changed";
}
