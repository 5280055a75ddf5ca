#include "support/ProcessorParameters.h"
#include "support/StateBlock.h"
#include "support/StateRules.h"

#include <gtest/gtest.h>

namespace
{
juce::String pick (juce::Random& random, std::initializer_list<const char*> options)
{
    return *(options.begin() + random.nextInt ((int) options.size()));
}

juce::String randomValueText (juce::Random& random)
{
    switch (random.nextInt (5))
    {
        case 0:  return juce::String (random.nextFloat() * 12.0f - 3.0f);
        case 1:  return juce::String (random.nextDouble() * 6.0, random.nextInt (6));
        case 2:  return pick (random, { "nan", "-nan", "inf", "-inf", "1e400", "-1e400", "1e-400", "", "abc",
                                        "0.50", "5.0", "0.0", "0x10", " 2", "3e0", "+1", "0.005", "4.995",
                                        "2e-0000000001", "1e12345678901", "0.5E999999999" });
        default: return juce::String (0.01 * random.nextInt (501), 2);
    }
}

juce::String randomName (juce::Random& random, bool isRoot)
{
    if (random.nextInt (4) == 0)
        return pick (random, { "PARAM", "Param", "Extra", "x", "a:b", "_n-1.2", "Parameters" });

    return isRoot ? pick (random, { "Parameters", "PARAMETERS", "parameters", "Parameter" }) : juce::String ("PARAM");
}

std::unique_ptr<juce::XmlElement> randomElement (juce::Random& random, int depth)
{
    auto element = std::make_unique<juce::XmlElement> (randomName (random, depth == 0));

    if (random.nextInt (3) != 0)
        element->setAttribute ("id", random.nextInt (5) == 0 ? pick (random, { "speed", "Depth", "GAIN", "", "SPEED " })
                                                              : juce::String (StateBlock::ids[(size_t) random.nextInt (4)]));

    if (random.nextInt (4) != 0)
        element->setAttribute ("value", randomValueText (random));

    if (random.nextInt (6) == 0)
        element->setAttribute (pick (random, { "extra", "Value", "ID", "note" }), randomValueText (random));

    const auto numChildren = depth == 0 ? random.nextInt (7) : (depth < 3 && random.nextInt (4) == 0 ? random.nextInt (3) : 0);

    for (int i = 0; i < numChildren; ++i)
        element->addChildElement (randomElement (random, depth + 1).release());

    // Last, because the framework's single-line writer fails on an element that follows text.
    if (random.nextInt (10) == 0)
        element->addTextElement ("text & <more>");

    return element;
}

juce::MemoryBlock randomDocument (juce::Random& random)
{
    auto format = juce::XmlElement::TextFormat();

    if (random.nextBool())
        format = format.singleLine();

    if (random.nextInt (4) == 0)
        format = format.withoutHeader();

    return StateBlock::make (randomElement (random, 0)->toString (format));
}

void writeLength (juce::MemoryBlock& block, int length)
{
    if (block.getSize() >= 8)
        for (size_t i = 0; i < 4; ++i)
            block[4 + i] = (char) (((juce::uint32) length >> (8 * i)) & 0xff);
}

juce::MemoryBlock corrupt (juce::Random& random, juce::MemoryBlock block)
{
    const auto size = (int) block.getSize();
    const auto anywhere = [&] { return random.nextInt (juce::jmax (1, size)); };
    const auto inText = [&] { return juce::jmin (size, 8 + random.nextInt (juce::jmax (1, size - 8))); };

    switch (random.nextInt (9))
    {
        case 0:
            block.setSize ((size_t) random.nextInt (size + 1));
            break;

        case 1:
            for (int i = random.nextInt (4); i >= 0 && size > 0; --i)
                block[(size_t) anywhere()] ^= (char) (1 << random.nextInt (8));
            break;

        case 2:
        {
            const int lengths[] { 0, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                                  size - 9 + random.nextInt (21) - 10, random.nextInt() };
            writeLength (block, lengths[random.nextInt (6)]);
            break;
        }

        case 3:
            for (int i = random.nextInt (8); i >= 0 && size > 0; --i)
                block[(size_t) anywhere()] = (char) random.nextInt (256);
            break;

        case 4:
        {
            const auto insertion = pick (random, { "<", ">", "\"", "/", "=", "&", " ", "<a>", "</", "&amp;", "\xC3", "\xF0\x9F" });
            block.insert (insertion.toRawUTF8(), insertion.getNumBytesAsUTF8(), (size_t) inText());
            break;
        }

        case 5:
            if (size > 8)
                block[(size_t) (8 + random.nextInt (size - 8))] = 0;
            break;

        case 6:
        {
            const auto start = anywhere();
            block.removeSection ((size_t) start, (size_t) random.nextInt (size - start + 1));
            break;
        }

        case 7:
        {
            juce::MemoryBlock noise ((size_t) random.nextInt (200));

            for (auto& byte : noise)
                byte = (char) random.nextInt (256);

            if (noise.getSize() >= 8 && random.nextBool())
            {
                std::memcpy (noise.begin(), "VC2!", 4);
                writeLength (noise, (int) noise.getSize() - 9);
            }

            return noise;
        }

        default:
        {
            const auto start = anywhere();
            const juce::MemoryBlock slice (block.begin() + start, (size_t) random.nextInt (juce::jmin (40, size - start) + 1));
            block.insert (slice.getData(), slice.getSize(), (size_t) anywhere());
            break;
        }
    }

    return block;
}
} // namespace

TEST (SavedStateRandom, EveryCorruptedBlockIsIgnoredOrRestoredByTheRules)
{
    juce::Random random (0x54756d62);
    TumblewispAudioProcessor processor, reloaded;
    int accepted = 0, rejected = 0;

    for (int iteration = 0; iteration < 20000; ++iteration)
    {
        if (iteration % 50 == 0)
            for (auto* id : StateBlock::ids)
                setParameter (processor, id, random.nextFloat() * 5.0f);

        auto block = random.nextInt (3) == 0 ? StateBlock::save (processor) : randomDocument (random);

        for (int i = random.nextInt (4); --i >= 0;)
            block = corrupt (random, block);

        const auto isAccepted = StateRules::getAcceptedElement (block.getData(), (int) block.getSize(), processor) != nullptr;
        (isAccepted ? accepted : rejected)++;

        const auto problem = StateRules::restoreAndCheck (processor, reloaded, block.getData(), (int) block.getSize());
        ASSERT_EQ (problem, juce::String()) << "iteration " << iteration << ", block " << block.toBase64Encoding();
    }

    // Both outcomes must be exercised in earnest for the check to mean anything.
    EXPECT_GT (accepted, 4000);
    EXPECT_GT (rejected, 4000);
}
