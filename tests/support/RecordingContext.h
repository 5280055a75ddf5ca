#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** A graphics context that keeps the geometry of what is filled instead of pixels,
    so drawing can be checked against exact coordinates.
*/
class RecordingContext : public juce::LowLevelGraphicsContext
{
public:
    /** One fill, in the colour that was current: either a path, kept as the points
        of each sub-path (curve control points included), or a list of rectangles.
    */
    struct Fill
    {
        juce::Colour colour;
        std::vector<std::vector<juce::Point<float>>> subPaths;
        bool usesNonZeroWinding = true;
        std::vector<juce::Rectangle<float>> rectangles;
    };

    std::vector<juce::Colour> coloursSet;
    std::vector<Fill> fills;

    /** Calls the recorder has no geometry for: clipping, transforms, layers, images, lines, text. */
    int unrecordedCalls = 0;

    bool isVectorDevice() const override;
    void setOrigin (juce::Point<int>) override;
    void addTransform (const juce::AffineTransform&) override;
    float getPhysicalPixelScaleFactor() override;

    bool clipToRectangle (const juce::Rectangle<int>&) override;
    bool clipToRectangleList (const juce::RectangleList<int>&) override;
    void excludeClipRectangle (const juce::Rectangle<int>&) override;
    void clipToPath (const juce::Path&, const juce::AffineTransform&) override;
    void clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) override;
    bool clipRegionIntersects (const juce::Rectangle<int>&) override;
    juce::Rectangle<int> getClipBounds() const override;
    bool isClipEmpty() const override;

    void saveState() override;
    void restoreState() override;
    void beginTransparencyLayer (float opacity) override;
    void endTransparencyLayer() override;

    void setFill (const juce::FillType&) override;
    void setOpacity (float) override;
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override;

    void fillRect (const juce::Rectangle<int>&, bool replaceExistingContents) override;
    void fillRect (const juce::Rectangle<float>&) override;
    void fillRectList (const juce::RectangleList<float>&) override;
    void fillPath (const juce::Path&, const juce::AffineTransform&) override;
    void drawImage (const juce::Image&, const juce::AffineTransform&) override;
    void drawLine (const juce::Line<float>&) override;

    void setFont (const juce::Font&) override;
    const juce::Font& getFont() override;
    void drawGlyph (int glyphNumber, const juce::AffineTransform&) override;

private:
    void addRectangles (std::vector<juce::Rectangle<float>>);

    juce::Colour currentColour;
    juce::Font font;
};
