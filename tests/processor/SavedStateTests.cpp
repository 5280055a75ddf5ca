#include "processor/ParameterLayout.h"
#include "support/ProcessorParameters.h"
#include "support/StateBlock.h"

#include <gtest/gtest.h>

#include <optional>

namespace
{
using Values = StateBlock::Values;

// Current values that no test block restores, so a block that was taken shows.
constexpr Values startValues { 0.3f, 0.2f, 3.0f, 0.7f };

juce::String withRoot (const juce::String& root)
{
    return StateBlock::document (root, StateBlock::allParams ("0.9"));
}

std::string bytesOf (const juce::MemoryBlock& block)
{
    return { block.begin(), block.end() };
}

juce::MemoryBlock withByte (juce::MemoryBlock block, size_t index, char byte)
{
    block[index] = byte;
    return block;
}

juce::MemoryBlock withSize (juce::MemoryBlock block, size_t size)
{
    block.setSize (size);
    return block;
}

// Decimal values moved onto the parameters' own grid, which is not decimal-exact in single precision.
Values onGrid (const TumblewispAudioProcessor& processor, Values values)
{
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = processor.parameters.getParameterRange (StateBlock::ids[i]).snapToLegalValue (values[i]);

    return values;
}

struct CountingListener : juce::AudioProcessorListener,
                          juce::AudioProcessorValueTreeState::Listener
{
    explicit CountingListener (TumblewispAudioProcessor& p) : processor (p)
    {
        processor.addListener (this);

        for (auto* id : StateBlock::ids)
            processor.parameters.addParameterListener (id, this);
    }

    ~CountingListener() override
    {
        for (auto* id : StateBlock::ids)
            processor.parameters.removeParameterListener (id, this);

        processor.removeListener (this);
    }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++hostNotifications; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void parameterChanged (const juce::String&, float) override { ++treeNotifications; }

    TumblewispAudioProcessor& processor;
    int hostNotifications = 0, treeNotifications = 0;
};
} // namespace

TEST (SavedState, DefaultBlockIsByteExact)
{
    static constexpr char expected[] = "VC2!\xBC\0\0\0"
                                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Parameters>"
                                       "<PARAM id=\"DEPTH\" value=\"0.5\"/><PARAM id=\"SHAPE\" value=\"0.5\"/>"
                                       "<PARAM id=\"SPEED\" value=\"0.5\"/><PARAM id=\"SWAMP\" value=\"0.5\"/>"
                                       "</Parameters>";
    static_assert (sizeof (expected) == 197, "the literal's own terminator is the block's zero byte");

    TumblewispAudioProcessor processor;
    const auto first = StateBlock::save (processor);

    EXPECT_EQ (bytesOf (first), std::string (expected, sizeof (expected)));
    EXPECT_EQ (bytesOf (StateBlock::save (processor)), bytesOf (first));

    // Whatever the destination held before is replaced, not appended to.
    juce::MemoryBlock reused (1000, true);
    reused.fillWith (0x55);
    processor.getStateInformation (reused);
    EXPECT_EQ (bytesOf (reused), bytesOf (first));
}

TEST (SavedState, ValuesAreWrittenInShortestExactDecimal)
{
    const struct
    {
        const char* id;
        float value;
        const char* text;
    } cases[] { { ParameterIds::speed, 1.0f, "1.0" },
                { ParameterIds::speed, 5.0f, "5.0" },
                { ParameterIds::speed, 2.5f, "2.5" },
                { ParameterIds::swamp, 0.0f, "0.0" },
                { ParameterIds::depth, 0.1f, "0.1000000014901161" },
                { ParameterIds::speed, 4.02f, "4.019999980926514" },
                { ParameterIds::shape, 0.7f, "0.699999988079071" } };

    for (const auto& c : cases)
    {
        TumblewispAudioProcessor processor;
        setParameter (processor, c.id, c.value);
        const auto block = StateBlock::save (processor);

        EXPECT_TRUE (StateBlock::textOf (block).contains (StateBlock::param (c.id, c.text))) << c.id << " " << c.text;
        EXPECT_EQ (juce::ByteOrder::littleEndianInt (block.begin() + 4), (juce::uint32) block.getSize() - 9);
        EXPECT_EQ (block[block.getSize() - 1], 0);
    }
}

TEST (SavedState, UnrecognisedBlocksChangeNothing)
{
    const auto valid = StateBlock::make (withRoot ("Parameters"));
    const auto validText = withRoot ("Parameters");

    const struct
    {
        const char* name;
        juce::MemoryBlock block;
        std::optional<int> sizeInBytes {};
    } cases[] {
        { "empty", {} },
        { "magic only", withSize (valid, 4) },
        { "header only", withSize (valid, 8) },
        { "negative byte count", valid, -1 },
        { "wrong magic", withByte (valid, 3, '?') },
        { "reversed magic", withByte (withByte (withByte (withByte (valid, 0, '!'), 1, '2'), 2, 'C'), 3, 'V') },
        { "zero length", StateBlock::make (validText, 0) },
        { "length -1", StateBlock::make (validText, -1) },
        { "length with only the top bit", StateBlock::make (validText, std::numeric_limits<int>::min()) },
        { "length cutting the element", StateBlock::make (validText, 120) },
        { "zero byte after the header", withByte (valid, 8, 0) },
        { "not XML", StateBlock::make ("tumblewisp") },
        { "declaration only", StateBlock::make (StateBlock::declaration) },
        { "unclosed root", StateBlock::make (StateBlock::declaration + " <Parameters>" + StateBlock::allParams ("0.9")) },
        { "root Parameter", StateBlock::make (withRoot ("Parameter")) },
        { "root ParametersX", StateBlock::make (withRoot ("ParametersX")) },
        { "root PARAM", StateBlock::make (withRoot ("PARAM")) },
        { "cut-off multi-byte character", withByte (valid, valid.getSize() - 16, '\xC3') },
        { "over-long spelling of a character",
          StateBlock::make (juce::String::fromUTF8 ("<Param\xC1\xA5ters>") + StateBlock::allParams ("0.9") + "</Parameters>") },
        { "processing instruction inside the root, which the parser would loop on",
          StateBlock::make (StateBlock::document ("Parameters", "<?note?>text" + StateBlock::allParams ("0.9"))) },
        { "self-referring entity, which the parser would recurse on",
          StateBlock::make ("<!DOCTYPE Parameters [a b <!ENTITY e \"<a>&e;</a>\">]><Parameters>&e;" + StateBlock::allParams ("0.9") + "</Parameters>") },
        { "text ending inside a character reference, which the parser would step past",
          StateBlock::make (StateBlock::declaration + " <Parameters>" + StateBlock::allParams ("0.9") + "&#x3") },
        { "nesting deep enough to exhaust the stack",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.9") + juce::String::repeatedString ("<a>", 300)
                                                                    + juce::String::repeatedString ("</a>", 300))) },
        { "one level deeper than the reader is trusted with",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.9") + juce::String::repeatedString ("<a>", 255) + "<b/>"
                                                                    + juce::String::repeatedString ("</a>", 255))) },
        { "a character beyond ASCII in the markup, which the parser reads by the host's locale",
          StateBlock::make (juce::String::fromUTF8 ("<Parameters>") + StateBlock::allParams ("0.9") + juce::String::fromUTF8 ("<Note text=\xE3\x80\x80\"x\"/></Parameters>")) },
        { "undefined entity, whose name the parser would read as more of the document",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.9") + "&<a>&#x1;")) },
        { "character reference past the last code point",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.9") + "<Note text=\"&#x110000;\"/>")) },
        { "raw bytes stated larger than their text",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.9") + "<Data base64:blob=\"2000000000.AAAA\"/>")) },
        { "raw bytes of a negative size",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.9") + "<Data base64:blob=\"-1.AAAA\"/>")) },
        { "value that is not a number", StateBlock::make (StateBlock::document ("Parameters", StateBlock::param (ParameterIds::speed, "nan"))) },
        { "exponent too long for the number reader",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::param (ParameterIds::speed, "4.0e2147483648"))) },
    };

    for (const auto& c : cases)
    {
        TumblewispAudioProcessor processor;
        StateBlock::setValues (processor, startValues);
        const auto valuesBefore = StateBlock::getValues (processor);
        const auto before = StateBlock::save (processor);

        processor.setStateInformation (c.block.getData(), c.sizeInBytes.value_or ((int) c.block.getSize()));

        EXPECT_EQ (StateBlock::getValues (processor), valuesBefore) << c.name;
        EXPECT_EQ (bytesOf (StateBlock::save (processor)), bytesOf (before)) << c.name;
    }
}

TEST (SavedState, AcceptedBlocksSetTheirValues)
{
    const auto validText = withRoot ("Parameters");
    const auto valid = StateBlock::make (validText);
    constexpr Values allAt09 { 0.9f, 0.9f, 0.9f, 0.9f };

    const struct
    {
        const char* name;
        juce::MemoryBlock block;
        Values expected;
    } cases[] {
        { "as written", valid, allAt09 },
        { "length larger than the data", StateBlock::make (validText, std::numeric_limits<int>::max()), allAt09 },
        { "no closing zero byte", withSize (valid, valid.getSize() - 1), allAt09 },
        { "length ending before trailing data",
          StateBlock::make (validText + "<trailing", (int) validText.getNumBytesAsUTF8()),
          allAt09 },
        { "no declaration", StateBlock::make ("<Parameters>" + StateBlock::allParams ("0.9") + "</Parameters>"), allAt09 },
        { "comments and character references",
          StateBlock::make (StateBlock::declaration + "<!-- saved --><Parameters>" + StateBlock::param (ParameterIds::depth, "&#x30;.25")
                            + "<!-- kept out of the tree --></Parameters>"),
          { 0.25f, 0.2f, 3.0f, 0.7f } },
        { "root PARAMETERS", StateBlock::make (withRoot ("PARAMETERS")), allAt09 },
        { "root parameters", StateBlock::make (withRoot ("parameters")), allAt09 },
        { "child of another type binds by id",
          StateBlock::make (StateBlock::document ("Parameters", "<Knob id=\"SWAMP\" value=\"0.2\"/>")),
          { 0.3f, 0.2f, 3.0f, 0.2f } },
        { "last of several children with one id wins",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::param (ParameterIds::speed, "1.0") + StateBlock::param (ParameterIds::speed, "2.0"))),
          { 0.3f, 0.2f, 2.0f, 0.7f } },
        { "child without value takes the default",
          StateBlock::make (StateBlock::document ("Parameters", "<PARAM id=\"SPEED\"/>")),
          { 0.3f, 0.2f, 0.5f, 0.7f } },
        { "values outside the range are clamped",
          StateBlock::make (StateBlock::document ("Parameters",
                                                  StateBlock::param (ParameterIds::speed, "1e+000000000001") + StateBlock::param (ParameterIds::depth, "-3")
                                                      + StateBlock::param (ParameterIds::swamp, "inf") + StateBlock::param (ParameterIds::shape, "1e400"))),
          { 0.1f, 1.0f, 5.0f, 1.0f } },
        { "values between steps are snapped",
          StateBlock::make (StateBlock::document ("Parameters",
                                                  StateBlock::param (ParameterIds::speed, "2.504") + StateBlock::param (ParameterIds::depth, "0.123")
                                                      + StateBlock::param (ParameterIds::swamp, "0.996") + StateBlock::param (ParameterIds::shape, "0.0049"))),
          { 0.12f, 0.0f, 2.5f, 1.0f } },
        { "not a number where it binds nothing",
          StateBlock::make (StateBlock::document ("Parameters", StateBlock::param ("speed", "nan") + StateBlock::param (ParameterIds::depth, "0.4"))),
          { 0.4f, 0.2f, 3.0f, 0.7f } },
    };

    for (const auto& c : cases)
    {
        TumblewispAudioProcessor processor;
        StateBlock::setValues (processor, startValues);

        StateBlock::restore (processor, c.block);

        const auto expected = onGrid (processor, c.expected);
        EXPECT_EQ (StateBlock::getValues (processor), expected) << c.name;

        // The next save carries the values, whatever the block left out or wrote oddly.
        TumblewispAudioProcessor reloaded;
        StateBlock::restore (reloaded, StateBlock::save (processor));
        EXPECT_EQ (StateBlock::getValues (reloaded), expected) << c.name;
    }
}

TEST (SavedState, MissingChildrenKeepTheirValuesInEveryLaterSave)
{
    TumblewispAudioProcessor processor;
    StateBlock::setValues (processor, { 0.3f, 0.5f, 2.0f, 0.7f });

    StateBlock::restore (processor,
                         StateBlock::make (StateBlock::document ("Parameters",
                                                                 StateBlock::param (ParameterIds::swamp, "0.25")
                                                                     + StateBlock::param (ParameterIds::depth, "0.75"))));

    EXPECT_EQ (StateBlock::getValues (processor), onGrid (processor, { 0.75f, 0.5f, 2.0f, 0.25f }));

    // The added children follow the block's, in identifier order, each with its value.
    const auto saved = StateBlock::save (processor);
    EXPECT_EQ (StateBlock::textOf (saved),
               StateBlock::document ("Parameters",
                                     StateBlock::param (ParameterIds::swamp, "0.25") + StateBlock::param (ParameterIds::depth, "0.75")
                                         + StateBlock::param (ParameterIds::shape, "0.5") + StateBlock::param (ParameterIds::speed, "2.0")));

    TumblewispAudioProcessor reloaded;
    StateBlock::setValues (reloaded, startValues);
    StateBlock::restore (reloaded, saved);
    EXPECT_EQ (StateBlock::getValues (reloaded), StateBlock::getValues (processor));

    // An empty root keeps everything.
    StateBlock::restore (processor, StateBlock::make (StateBlock::declaration + " <Parameters/>"));
    EXPECT_EQ (StateBlock::getValues (processor), onGrid (processor, { 0.75f, 0.5f, 2.0f, 0.25f }));
    EXPECT_EQ (StateBlock::textOf (StateBlock::save (processor)),
               StateBlock::document ("Parameters",
                                     StateBlock::param (ParameterIds::depth, "0.75") + StateBlock::param (ParameterIds::shape, "0.5")
                                         + StateBlock::param (ParameterIds::speed, "2.0") + StateBlock::param (ParameterIds::swamp, "0.25")));
}

TEST (SavedState, IdInAnotherCaseBindsNothingAndIsKept)
{
    TumblewispAudioProcessor processor;
    setParameter (processor, ParameterIds::speed, 2.0f);

    const auto children = StateBlock::param (ParameterIds::depth, "0.5") + StateBlock::param (ParameterIds::shape, "0.5")
                        + StateBlock::param ("speed", "4.0") + StateBlock::param (ParameterIds::swamp, "0.5");
    StateBlock::restore (processor, StateBlock::make (StateBlock::document ("Parameters", children)));

    EXPECT_EQ (StateBlock::getValues (processor), onGrid (processor, { 0.5f, 0.5f, 2.0f, 0.5f }));
    EXPECT_EQ (StateBlock::textOf (StateBlock::save (processor)),
               StateBlock::document ("Parameters", children + StateBlock::param (ParameterIds::speed, "2.0")));
}

TEST (SavedState, RestoredRootNameIsKeptAndStillMatchedIgnoringCase)
{
    TumblewispAudioProcessor processor;

    StateBlock::restore (processor, StateBlock::make (withRoot ("parameters")));
    EXPECT_EQ (StateBlock::textOf (StateBlock::save (processor)), StateBlock::document ("parameters", StateBlock::allParams ("0.9")));

    const struct
    {
        const char* root;
        bool accepted;
    } laterRoots[] { { "Parameters", true }, { "PARAMETERS", true }, { "Parameter", false } };

    for (const auto& c : laterRoots)
    {
        StateBlock::restore (processor, StateBlock::make (withRoot ("parameters")));
        StateBlock::restore (processor, StateBlock::make (StateBlock::document (c.root, StateBlock::allParams ("0.25"))));

        const auto root = c.accepted ? juce::String (c.root) : juce::String ("parameters");
        const auto value = c.accepted ? "0.25" : "0.9";
        EXPECT_EQ (StateBlock::textOf (StateBlock::save (processor)), StateBlock::document (root, StateBlock::allParams (value))) << c.root;
    }
}

TEST (SavedState, ValueTextStaysAsWrittenUntilTheValueChanges)
{
    for (const auto startValue : { 0.5f, 0.3f })
    {
        TumblewispAudioProcessor processor;
        setParameter (processor, ParameterIds::depth, startValue);

        StateBlock::restore (processor, StateBlock::make (StateBlock::document ("Parameters", StateBlock::allParams ("0.50"))));
        EXPECT_EQ (StateBlock::textOf (StateBlock::save (processor)), StateBlock::document ("Parameters", StateBlock::allParams ("0.50")));

        setParameter (processor, ParameterIds::depth, 0.7f);
        EXPECT_TRUE (StateBlock::textOf (StateBlock::save (processor)).contains (StateBlock::param (ParameterIds::depth, "0.699999988079071")));
    }
}

TEST (SavedState, RoundTripOfEveryGridValueSendsNoNotification)
{
    TumblewispAudioProcessor processor;
    CountingListener listener (processor);

    for (int step = 0; step <= 490; ++step)
    {
        Values values {};

        for (size_t i = 0; i < StateBlock::ids.size(); ++i)
        {
            const auto range = processor.parameters.getParameterRange (StateBlock::ids[i]);
            values[i] = range.snapToLegalValue (juce::jmin (range.end, range.start + 0.01f * (float) step));
        }

        StateBlock::setValues (processor, values);
        const auto saved = StateBlock::save (processor);
        listener.hostNotifications = listener.treeNotifications = 0;

        StateBlock::restore (processor, saved);

        ASSERT_EQ (listener.hostNotifications, 0) << step;
        ASSERT_EQ (listener.treeNotifications, 0) << step;
        ASSERT_EQ (StateBlock::getValues (processor), values) << step;
        ASSERT_EQ (bytesOf (StateBlock::save (processor)), bytesOf (saved)) << step;
    }

    // A block that does change a value is heard, so the counts above mean something.
    StateBlock::restore (processor, StateBlock::make (StateBlock::document ("Parameters", StateBlock::param (ParameterIds::speed, "1.0"))));
    EXPECT_EQ (listener.hostNotifications, 1);
    EXPECT_EQ (listener.treeNotifications, 1);
}

TEST (SavedState, UnknownContentIsKeptAndWrittenBack)
{
    const auto children = juce::String ("<PARAM id=\"DEPTH\" value=\"0.3\" colour=\"red\"/>")
                        + juce::String::fromUTF8 ("<Extra note=\"gr\xC3\xBCn \xE2\x9C\x93\"><Inner depth=\"2\"/></Extra>")
                        + "<PARAM value=\"0.9\"/>"
                        + "<Data base64:blob=\"" + juce::MemoryBlock ("tumble", 6).toBase64Encoding() + "\"/>"
                        + "<PARAM id=\"GAIN\" value=\"0.9\"/>"
                        + StateBlock::param (ParameterIds::shape, "0.5") + StateBlock::param (ParameterIds::speed, "1.0")
                        + StateBlock::param (ParameterIds::swamp, "0.5");
    const auto text = StateBlock::declaration + " <Parameters version=\"2\">" + children + "</Parameters>";

    TumblewispAudioProcessor processor;
    StateBlock::restore (processor, StateBlock::make (text));

    EXPECT_EQ (StateBlock::getValues (processor), onGrid (processor, { 0.3f, 0.5f, 1.0f, 0.5f }));
    // Characters beyond ASCII come back as the framework's character references.
    EXPECT_EQ (StateBlock::textOf (StateBlock::save (processor)), text.replace (juce::String::fromUTF8 ("gr\xC3\xBCn \xE2\x9C\x93"), "gr&#252;n &#10003;"));
}
