#include "support/ScreenCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
int shiftOf (unsigned long mask)
{
    int shift = 0;

    while (mask != 0 && (mask & 1) == 0)
    {
        mask >>= 1;
        ++shift;
    }

    return shift;
}

struct DisplayCloser
{
    void operator() (Display* d) const { XCloseDisplay (d); }
};
} // namespace

juce::Image ScreenCapture::grab (juce::Component& onDesktop)
{
    // A connection of its own, so reading back never disturbs the framework's.
    static const std::unique_ptr<Display, DisplayCloser> display (XOpenDisplay (nullptr));
    auto* peer = onDesktop.getPeer();

    if (display == nullptr || peer == nullptr)
        return {};

    const auto width = onDesktop.getWidth();
    const auto height = onDesktop.getHeight();
    auto* xImage = XGetImage (display.get(), (Window) peer->getNativeHandle(), 0, 0,
                              (unsigned int) width, (unsigned int) height, AllPlanes, ZPixmap);

    if (xImage == nullptr)
        return {};

    juce::Image image (juce::Image::RGB, width, height, false);
    const auto redShift = shiftOf (xImage->red_mask);
    const auto greenShift = shiftOf (xImage->green_mask);
    const auto blueShift = shiftOf (xImage->blue_mask);

    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const auto pixel = XGetPixel (xImage, x, y);
            image.setPixelAt (x, y, juce::Colour ((juce::uint8) ((pixel & xImage->red_mask) >> redShift),
                                                  (juce::uint8) ((pixel & xImage->green_mask) >> greenShift),
                                                  (juce::uint8) ((pixel & xImage->blue_mask) >> blueShift)));
        }
    }

    XDestroyImage (xImage);
    return image;
}
