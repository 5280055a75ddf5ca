#include "BinaryData.h"
#include "processor/TumblewispAudioProcessor.h"
#include "support/EditorInternals.h"
#include "support/Palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
using Rect = juce::Rectangle<int>;

using Palette::accent;
using Palette::background;

struct PictureCase
{
    const char* name;
    const void* data;
    int size;
    Rect destination;
};

const PictureCase pictureCases[] { { "top left", BinaryData::topLeftPicture, BinaryData::topLeftPictureSize, { 0, 0, 105, 92 } },
                                   { "bottom", BinaryData::bottomPicture, BinaryData::bottomPictureSize, { 147, 307, 105, 92 } },
                                   { "top right", BinaryData::topRightPicture, BinaryData::topRightPictureSize, { 295, 0, 105, 101 } } };

/** What the editor draws beneath its children. */
juce::Image paintBeneathChildren (TumblewispAudioProcessorEditor& editor)
{
    juce::Image image (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true);
    juce::Graphics g (image);
    editor.paint (g);
    return image;
}

/** The editor as the host's window shows it, children included. */
juce::Image snapshot (TumblewispAudioProcessorEditor& editor)
{
    return editor.createComponentSnapshot (editor.getLocalBounds(), true, 1.0f);
}

/** One picture alone on the background, scaled into the given rectangle. */
juce::Image pictureAlone (const PictureCase& c)
{
    const auto picture = juce::ImageCache::getFromMemory (c.data, c.size);
    juce::Image image (juce::Image::ARGB, 400, 400, true);
    juce::Graphics g (image);
    g.fillAll (background);
    g.drawImage (picture, c.destination.getX(), c.destination.getY(), c.destination.getWidth(), c.destination.getHeight(),
                 0, 0, picture.getWidth(), picture.getHeight());
    return image;
}

template <typename Predicate>
int countPixels (const juce::Image& image, Rect area, Predicate&& predicate)
{
    int count = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += predicate (image.getPixelAt (x, y), x, y) ? 1 : 0;

    return count;
}

int countDifferences (const juce::Image& a, const juce::Image& b, Rect area)
{
    return countPixels (a, area, [&b] (juce::Colour c, int x, int y) { return c != b.getPixelAt (x, y); });
}

/** Pink, or a blend of pink and the background: red well above green, as the background's is not. */
bool isPinkInk (juce::Colour c)
{
    return (int) c.getRed() - (int) c.getGreen() > 40;
}

bool hasPinkNear (const juce::Image& image, juce::Point<int> p)
{
    return countPixels (image, Rect (3, 3).withCentre (p), [] (juce::Colour c, int, int) { return isPinkInk (c); }) > 0;
}

/** The picture reduced into its destination the ideal way: every source pixel under a destination
    pixel weighed by the area it shares with it, premultiplied, then laid over the background. */
juce::Colour areaAveraged (const juce::Image::BitmapData& source, const PictureCase& c, int x, int y)
{
    const auto d = c.destination;
    const auto sx = (double) source.width / d.getWidth(), sy = (double) source.height / d.getHeight();
    const auto x0 = (x - d.getX()) * sx, y0 = (y - d.getY()) * sy;
    double r = 0, g = 0, b = 0, a = 0;

    for (auto row = (int) y0; row < juce::jmin ((int) std::ceil (y0 + sy), source.height); ++row)
    {
        const auto wy = juce::jmin (y0 + sy, row + 1.0) - juce::jmax (y0, (double) row);

        for (auto column = (int) x0; column < juce::jmin ((int) std::ceil (x0 + sx), source.width); ++column)
        {
            const auto w = wy * (juce::jmin (x0 + sx, column + 1.0) - juce::jmax (x0, (double) column));
            const auto p = source.getPixelColour (column, row);
            const auto pa = w * p.getFloatAlpha();
            r += pa * p.getFloatRed();
            g += pa * p.getFloatGreen();
            b += pa * p.getFloatBlue();
            a += pa;
        }
    }

    const auto area = sx * sy;
    const auto over = [&] (double premultiplied, float under) { return (premultiplied + (area - a) * under) / area; };
    return juce::Colour::fromFloatRGBA ((float) over (r, background.getFloatRed()), (float) over (g, background.getFloatGreen()),
                                        (float) over (b, background.getFloatBlue()), 1.0f);
}

struct Differences
{
    double mean;
    int percentile99;
};

/** How far each drawn pixel of a picture is from its area average, in levels of its worst channel. */
Differences differencesFromAreaAverage (const juce::Image& painted, const PictureCase& c)
{
    const auto picture = juce::ImageCache::getFromMemory (c.data, c.size);
    const juce::Image::BitmapData source (picture, juce::Image::BitmapData::readOnly);
    std::vector<int> levels;

    countPixels (painted, c.destination, [&] (juce::Colour p, int x, int y)
    {
        const auto ideal = areaAveraged (source, c, x, y);
        levels.push_back (juce::jmax (std::abs (p.getRed() - ideal.getRed()), std::abs (p.getGreen() - ideal.getGreen()),
                                      std::abs (p.getBlue() - ideal.getBlue())));
        return true;
    });

    std::sort (levels.begin(), levels.end());
    return { std::accumulate (levels.begin(), levels.end(), 0.0) / (double) levels.size(), levels[levels.size() * 99 / 100] };
}

/** An editor of a processor of its own, and what it paints beneath its children. */
struct PaintedEditor
{
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor { processor };
    const juce::Image painted = paintBeneathChildren (editor);
};
} // namespace

TEST (EditorPainting, PicturesFillTheirDestinationsAndNothingElse)
{
    PaintedEditor window;
    auto& editor = window.editor;
    const auto& painted = window.painted;

    for (const auto& c : pictureCases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (countDifferences (painted, pictureAlone (c), c.destination), 0);

        const auto drawn = countPixels (painted, c.destination, [] (juce::Colour p, int, int) { return p != background; });
        EXPECT_GT (drawn, c.destination.getWidth() * c.destination.getHeight() / 4) << "a figure, not an empty field";
    }

    const auto outsideEveryPicture = countPixels (painted, editor.getLocalBounds(), [] (juce::Colour p, int x, int y)
    {
        for (const auto& c : pictureCases)
            if (c.destination.contains (x, y))
                return false;

        return p != background;
    });
    EXPECT_EQ (outsideEveryPicture, 0);
}

TEST (EditorPainting, WhatNothingCoversShowsTheBackground)
{
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor (processor);
    const auto shown = snapshot (editor);
    ASSERT_EQ (shown.getBounds(), Rect (0, 0, 400, 400));

    const auto notBackground = [] (juce::Colour p, int, int) { return p != background; };

    for (const auto& [name, area] : { std::pair { "last row", Rect (0, 399, 400, 1) },
                                      std::pair { "left of the bottom picture", Rect (0, 320, 147, 80) },
                                      std::pair { "right of the bottom picture", Rect (252, 320, 148, 80) } })
        EXPECT_EQ (countPixels (shown, area, notBackground), 0) << name;
}

TEST (EditorPainting, TitleIsPinkTextOnTwoCentredLinesInItsRow)
{
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor (processor);
    const auto shown = snapshot (editor);

    // Between the two lower captions, whose text stays near the middle of each knob.
    const Rect titleArea (130, 160, 140, 80);
    Rect ink;
    int bands = 0;
    bool previousRowHadInk = false;

    for (int y = titleArea.getY(); y < titleArea.getBottom(); ++y)
    {
        const auto row = Rect (titleArea.getX(), y, titleArea.getWidth(), 1);
        const auto rowHasInk = countPixels (shown, row, [&ink] (juce::Colour p, int x, int py)
        {
            if (! isPinkInk (p))
                return false;

            ink = ink.isEmpty() ? Rect (x, py, 1, 1) : ink.getUnion ({ x, py, 1, 1 });
            return true;
        }) > 0;

        bands += rowHasInk && ! previousRowHadInk ? 1 : 0;
        previousRowHadInk = rowHasInk;
    }

    EXPECT_EQ (bands, 2) << "TUMBLE above WISP";
    EXPECT_NEAR (ink.getCentreX(), 200, 3);
    EXPECT_GT (ink.getY(), titleArea.getY());
    EXPECT_LT (ink.getBottom(), titleArea.getBottom());

    const auto solidPink = countPixels (shown, ink, [] (juce::Colour p, int, int)
    {
        return std::abs (p.getRed() - accent.getRed()) < 8 && std::abs (p.getGreen() - accent.getGreen()) < 8
               && std::abs (p.getBlue() - accent.getBlue()) < 8;
    });
    EXPECT_GT (solidPink, 100);
}

TEST (EditorPainting, KnobsShowTheirRings)
{
    TumblewispAudioProcessor processor;
    TumblewispAudioProcessorEditor editor (processor);
    const auto shown = snapshot (editor);

    for (auto& knob : EditorInternals::knobs (editor))
    {
        SCOPED_TRACE (knob.id);
        const auto origin = knob.slider.getPosition();

        // A ring of radius 36 round the middle of the 200 by 80 knob, and no body beyond it.
        for (const auto onRing : { juce::Point { 64, 40 }, juce::Point { 136, 40 }, juce::Point { 100, 4 }, juce::Point { 100, 76 } })
            EXPECT_TRUE (hasPinkNear (shown, origin + onRing)) << onRing.toString();

        for (const auto offRing : { juce::Point { 30, 40 }, juce::Point { 170, 40 } })
            EXPECT_EQ (shown.getPixelAt (origin.x + offRing.x, origin.y + offRing.y), background) << offRing.toString();
    }
}

TEST (EditorPainting, PicturesThatFailToDecodeLeaveTheBackground)
{
    static const char notAPicture[] = "not a picture";
    const auto undecodable = juce::ImageCache::getFromMemory (notAPicture, (int) sizeof (notAPicture));
    ASSERT_FALSE (undecodable.isValid());

    struct Case
    {
        const char* name;
        std::array<bool, 3> fails;
    };

    constexpr Case cases[] { { "top left", { true, false, false } },
                             { "bottom", { false, true, false } },
                             { "top right", { false, false, true } },
                             { "all three", { true, true, true } } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TumblewispAudioProcessor processor;
        TumblewispAudioProcessorEditor editor (processor);
        const auto pictures = EditorInternals::pictures (editor);

        for (size_t i = 0; i < 3; ++i)
            if (c.fails[i])
                *pictures[i] = undecodable;

        const auto painted = paintBeneathChildren (editor);
        const auto shown = snapshot (editor);

        for (size_t i = 0; i < 3; ++i)
        {
            const auto& picture = pictureCases[i];
            SCOPED_TRACE (picture.name);

            if (c.fails[i])
            {
                EXPECT_EQ (countPixels (painted, picture.destination, [] (juce::Colour p, int, int) { return p != background; }), 0);
                EXPECT_EQ (shown.getPixelAt (picture.destination.getCentreX(), picture.destination.getCentreY()), background);
            }
            else
            {
                EXPECT_EQ (countDifferences (painted, pictureAlone (picture), picture.destination), 0);
            }
        }
    }
}

TEST (EditorPainting, PicturesDrawnAtATenthMatchTheirAreaAverageAndLeaveTheCaptionsClear)
{
    PaintedEditor window;

    // The renderer samples a few source pixels per screen pixel: only detail no finer than a
    // screen pixel comes out as smooth as a true reduction.
    for (const auto& c : pictureCases)
    {
        SCOPED_TRACE (c.name);
        const auto differences = differencesFromAreaAverage (window.painted, c);
        EXPECT_LE (differences.mean, 2.5);
        EXPECT_LE (differences.percentile99, 20);
    }

    // Under the caption text the window shows what it shows with no pictures at all.
    TumblewispAudioProcessor bareProcessor;
    TumblewispAudioProcessorEditor bare (bareProcessor);

    for (auto* picture : EditorInternals::pictures (bare))
        *picture = juce::Image();

    const auto shown = snapshot (window.editor), shownBare = snapshot (bare);

    for (const auto& [name, box] : { std::pair { ParameterIds::speed, Rect (82, 58, 36, 20) }, std::pair { ParameterIds::depth, Rect (282, 58, 36, 20) } })
        EXPECT_EQ (countDifferences (shown, shownBare, box), 0) << name;
}
