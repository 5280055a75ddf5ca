#include "support/RecordingContext.h"

bool RecordingContext::isVectorDevice() const                                       { return true; }
void RecordingContext::setOrigin (juce::Point<int>)                                 { ++unrecordedCalls; }
void RecordingContext::addTransform (const juce::AffineTransform&)                  { ++unrecordedCalls; }
float RecordingContext::getPhysicalPixelScaleFactor()                               { return 1.0f; }

bool RecordingContext::clipToRectangle (const juce::Rectangle<int>&)                { ++unrecordedCalls; return true; }
bool RecordingContext::clipToRectangleList (const juce::RectangleList<int>&)        { ++unrecordedCalls; return true; }
void RecordingContext::excludeClipRectangle (const juce::Rectangle<int>&)           { ++unrecordedCalls; }
void RecordingContext::clipToPath (const juce::Path&, const juce::AffineTransform&) { ++unrecordedCalls; }
void RecordingContext::clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) { ++unrecordedCalls; }
bool RecordingContext::clipRegionIntersects (const juce::Rectangle<int>&)           { return true; }

// Everything lies inside the clip, so the framework never drops a fill before it gets here.
juce::Rectangle<int> RecordingContext::getClipBounds() const                        { return { -100000, -100000, 200000, 200000 }; }
bool RecordingContext::isClipEmpty() const                                          { return false; }

void RecordingContext::saveState()                                                  { ++unrecordedCalls; }
void RecordingContext::restoreState()                                               { ++unrecordedCalls; }
void RecordingContext::beginTransparencyLayer (float)                               { ++unrecordedCalls; }
void RecordingContext::endTransparencyLayer()                                       { ++unrecordedCalls; }

void RecordingContext::setFill (const juce::FillType& fillType)
{
    if (! fillType.isColour())
        ++unrecordedCalls;

    currentColour = fillType.colour;
    coloursSet.push_back (currentColour);
}

void RecordingContext::setOpacity (float)                                           { ++unrecordedCalls; }
void RecordingContext::setInterpolationQuality (juce::Graphics::ResamplingQuality)  {}

void RecordingContext::fillRect (const juce::Rectangle<int>& area, bool)            { addRectangles ({ area.toFloat() }); }
void RecordingContext::fillRect (const juce::Rectangle<float>& area)                { addRectangles ({ area }); }

void RecordingContext::fillRectList (const juce::RectangleList<float>& list)
{
    addRectangles ({ list.begin(), list.end() });
}

void RecordingContext::fillPath (const juce::Path& path, const juce::AffineTransform& transform)
{
    Fill fill;
    fill.colour = currentColour;
    fill.usesNonZeroWinding = path.isUsingNonZeroWinding();

    for (juce::Path::Iterator element (path); element.next();)
    {
        using Type = juce::Path::Iterator::PathElementType;

        if (element.elementType == Type::startNewSubPath)
            fill.subPaths.emplace_back();

        auto& points = fill.subPaths.back();
        const auto add = [&] (float x, float y) { points.push_back (juce::Point<float> (x, y).transformedBy (transform)); };

        switch (element.elementType)
        {
            case Type::startNewSubPath:
            case Type::lineTo:      add (element.x1, element.y1); break;
            case Type::quadraticTo: add (element.x1, element.y1); add (element.x2, element.y2); break;
            case Type::cubicTo:     add (element.x1, element.y1); add (element.x2, element.y2); add (element.x3, element.y3); break;
            case Type::closePath:   break;
        }
    }

    fills.push_back (std::move (fill));
}

void RecordingContext::drawImage (const juce::Image&, const juce::AffineTransform&) { ++unrecordedCalls; }
void RecordingContext::drawLine (const juce::Line<float>&)                          { ++unrecordedCalls; }

void RecordingContext::setFont (const juce::Font& newFont)                          { font = newFont; }
const juce::Font& RecordingContext::getFont()                                       { return font; }
void RecordingContext::drawGlyph (int, const juce::AffineTransform&)                { ++unrecordedCalls; }

void RecordingContext::addRectangles (std::vector<juce::Rectangle<float>> rectangles)
{
    Fill fill;
    fill.colour = currentColour;
    fill.rectangles = std::move (rectangles);
    fills.push_back (std::move (fill));
}
