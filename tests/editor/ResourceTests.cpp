#include "BinaryData.h"

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

TEST (Resources, EachArrayHoldsItsFileByteForByte)
{
    const struct
    {
        const char* file;
        const unsigned char* data;
        int size;
    } resources[] {
        { "topLeftPicture.png", BinaryData::topLeftPicture, BinaryData::topLeftPictureSize },
        { "bottomPicture.png", BinaryData::bottomPicture, BinaryData::bottomPictureSize },
        { "topRightPicture.png", BinaryData::topRightPicture, BinaryData::topRightPictureSize },
        { "BebasNeue-Regular.ttf", BinaryData::displayFont, BinaryData::displayFontSize },
    };

    const juce::File directory (TUMBLEWISP_RESOURCES_DIR);

    for (const auto& resource : resources)
    {
        SCOPED_TRACE (resource.file);

        juce::MemoryBlock file;
        ASSERT_TRUE (directory.getChildFile (resource.file).loadFileAsData (file));
        EXPECT_EQ ((size_t) resource.size, file.getSize());
        EXPECT_TRUE (file.matches (resource.data, (size_t) resource.size));
    }
}

TEST (Resources, PicturesDecodeToTheirSizeWithAlpha)
{
    const struct
    {
        const char* name;
        const unsigned char* data;
        int size, width, height;
    } pictures[] {
        { "topLeftPicture", BinaryData::topLeftPicture, BinaryData::topLeftPictureSize, 1050, 925 },
        { "bottomPicture", BinaryData::bottomPicture, BinaryData::bottomPictureSize, 1050, 925 },
        { "topRightPicture", BinaryData::topRightPicture, BinaryData::topRightPictureSize, 1050, 1014 },
    };

    for (const auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);

        const auto image = juce::ImageCache::getFromMemory (picture.data, picture.size);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), picture.width);
        EXPECT_EQ (image.getHeight(), picture.height);
        EXPECT_TRUE (image.hasAlphaChannel());
    }
}

TEST (Resources, FontIsBebasNeueRegular)
{
    const auto typeface = juce::Typeface::createSystemTypefaceFor (BinaryData::displayFont,
                                                                   (size_t) BinaryData::displayFontSize);
    ASSERT_NE (typeface, nullptr);
    EXPECT_EQ (typeface->getName(), "Bebas Neue");
    EXPECT_EQ (typeface->getStyle(), "Regular");
}
