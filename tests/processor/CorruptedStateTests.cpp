#include "support/ProcessorParameters.h"
#include "support/StateBlock.h"
#include "support/StateRules.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST (CorruptedState, EveryCorruptedBlockIsIgnoredOrRestoredByTheRules)
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

namespace
{
// Every value moved one grid step, so that a block that is refused shows.
StateBlock::Values offByAStep (const StateBlock::Values& values)
{
    auto moved = values;

    for (auto& value : moved)
        value += value >= 0.995f ? -0.01f : 0.01f;

    return moved;
}

// Restored in a new instance whose values all differ from the saving one's.
testing::AssertionResult loadsIntoAFreshInstance (const juce::MemoryBlock& block, const StateBlock::Values& expected)
{
    TumblewispAudioProcessor fresh;
    StateBlock::setValues (fresh, offByAStep (expected));
    StateBlock::restore (fresh, block);

    if (StateBlock::getValues (fresh) != expected)
        return testing::AssertionFailure() << "refused or read otherwise: " << StateBlock::textOf (block);

    return testing::AssertionSuccess();
}

// What the processor accepts, saved and restored in a fresh instance, gives the same values,
// and the fresh instance's own save is accepted in turn.
testing::AssertionResult survivesItsOwnSaves (const juce::MemoryBlock& block)
{
    TumblewispAudioProcessor first;
    StateBlock::setValues (first, { 0.3f, 0.2f, 3.0f, 0.7f });
    StateBlock::restore (first, block);

    const auto values = StateBlock::getValues (first);
    const auto save = StateBlock::save (first);

    if (auto result = loadsIntoAFreshInstance (save, values); ! result)
        return result;

    TumblewispAudioProcessor second;
    StateBlock::restore (second, save);
    return loadsIntoAFreshInstance (StateBlock::save (second), values);
}

juce::String nested (int levels, const juce::String& innermost)
{
    return juce::String::repeatedString ("<Group>", levels) + innermost + juce::String::repeatedString ("</Group>", levels);
}

// The framework's own indented form, each line ended by CR LF.
juce::String indentedWithCrLf()
{
    juce::XmlElement root ("Parameters");
    root.setAttribute ("version", "2");

    for (auto* id : StateBlock::ids)
    {
        auto* child = root.createNewChildElement ("PARAM");
        child->setAttribute ("id", id);
        child->setAttribute ("value", "0.25");
        child->setAttribute ("note", "kept");
    }

    root.createNewChildElement ("Extra")->createNewChildElement ("Inner")->setAttribute ("depth", 2);

    auto format = juce::XmlElement::TextFormat();
    format.newLineChars = "\r\n";
    return root.toString (format);
}
} // namespace

TEST (CorruptedState, EveryAcceptedBlockSurvivesTheProcessorsOwnSaves)
{
    const auto wideAndTwoDeep = juce::String::repeatedString ("<Unknown><Inner/></Unknown>", 127);

    const struct
    {
        const char* name;
        juce::String text;
    } shapes[] {
        { "wide and two deep, without a declaration", "<Parameters>" + StateBlock::allParams ("0.9") + wideAndTwoDeep + "</Parameters>" },
        { "wide, with a declaration", StateBlock::document ("Parameters", juce::String::repeatedString ("<a/>", 2000) + StateBlock::allParams ("0.8")) },
        { "as deep as allowed", StateBlock::document ("Parameters", StateBlock::allParams ("0.6") + nested (254, "<Leaf/>")) },
        { "as deep as allowed, without a declaration", "<Parameters>" + nested (254, "<Leaf x=\"1\">text</Leaf>") + StateBlock::allParams ("0.4") + "</Parameters>" },
        { "indented, CR LF", indentedWithCrLf() },
        { "extra attributes", StateBlock::document ("Parameters version=\"2\" a='b'", StateBlock::allParams ("0.35").replace ("\"/>", "\" colour=\"red\" n='1'/>")) },
        { "comments and references", "<!-- saved --><Parameters>" + StateBlock::allParams ("&#x30;.7&#49;") + "<!-- end --></Parameters>" },
        { "root in capitals", StateBlock::document ("PARAMETERS", StateBlock::allParams ("0.15")) },
        { "children left out, one without a value", StateBlock::document ("Parameters", "<PARAM id=\"SPEED\"/><Knob id=\"SWAMP\" value=\"0.2\"/>") },
        { "values clamped and snapped", StateBlock::document ("Parameters", StateBlock::param (ParameterIds::speed, "10") + StateBlock::param (ParameterIds::depth, "0.123")) },
        { "repeated ids", StateBlock::document ("Parameters", StateBlock::param (ParameterIds::shape, "0.1") + StateBlock::param (ParameterIds::shape, "0.9")) },
    };

    std::vector<juce::MemoryBlock> blocks;

    for (const auto& shape : shapes)
    {
        blocks.push_back (StateBlock::make (shape.text));
        TumblewispAudioProcessor processor;
        EXPECT_NE (StateRules::getAcceptedElement (blocks.back().getData(), (int) blocks.back().getSize(), processor), nullptr) << shape.name;
    }

    for (const auto& entry : juce::RangedDirectoryIterator (juce::File (TUMBLEWISP_FUZZ_CORPUS_DIR), false))
    {
        juce::MemoryBlock block;
        ASSERT_TRUE (entry.getFile().loadFileAsData (block));
        blocks.push_back (block);
    }

    juce::Random random (0x77697370);

    for (int i = 0; i < 3000; ++i)
        blocks.push_back (randomDocument (random));

    int accepted = 0;
    TumblewispAudioProcessor screening;

    for (const auto& block : blocks)
    {
        if (StateRules::getAcceptedElement (block.getData(), (int) block.getSize(), screening) == nullptr)
            continue;

        ++accepted;
        EXPECT_TRUE (survivesItsOwnSaves (block));
    }

    EXPECT_GT (accepted, 1000);
}
