#pragma once
// Comparing a rendered or decoded image with the expected one.
//
// Error measure: a pixel is "off" when the largest of its three channel
// differences exceeds `channelTolerance`. Two images of the same size match
// when the fraction of off pixels is at most `maxOffFraction` and the mean
// absolute channel difference (over every channel of every pixel) is at most
// `maxMeanError`. Images of different sizes never match.
//
// When they do not match, the actual and the expected image and a difference
// image (off pixels red over the darkened expected image) are saved as PNG in
// TestOutputDir(), named <name>-actual.png, <name>-expected.png and
// <name>-diff.png, and the description names those files.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/Image.h"

namespace testsupport {

struct ImageTolerance {
    int channelTolerance = 0;     // 0..255
    double maxOffFraction = 0.0;  // 0..1
    double maxMeanError = 255.0;  // 0..255
};

struct ImageComparison {
    bool matches = false;
    std::int64_t offPixels = 0;
    double offFraction = 0.0;
    double meanAbsError = 0.0;
    int maxChannelDifference = 0;
    int firstOffX = -1;  // first off pixel in row order, -1 when none
    int firstOffY = -1;
    std::string description;
    // Set only when the images were saved (on a mismatch).
    std::filesystem::path actualPath;
    std::filesystem::path expectedPath;
    std::filesystem::path diffPath;

    explicit operator bool() const { return matches; }
};

ImageComparison CompareImages(const platform::RgbImage& actual, const platform::RgbImage& expected,
                              const ImageTolerance& tolerance = {},
                              std::string_view name = "image");

// For EXPECT_TRUE / ASSERT_TRUE: the failure message is the description.
::testing::AssertionResult ImagesMatch(const platform::RgbImage& actual,
                                       const platform::RgbImage& expected,
                                       const ImageTolerance& tolerance = {},
                                       std::string_view name = "image");

// Decodes a JPEG or PNG file; on failure records a test failure with the
// decoder's reason and returns an empty image.
platform::RgbImage LoadImageForCompare(const std::filesystem::path& path);

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c);

// The pixel at (x, y), rows top-down; records a test failure and returns
// black when (x, y) lies outside the image.
Rgb PixelAt(const platform::RgbImage& image, int x, int y);

// Whether the pixel at (x, y) is within `tolerance` of `expected` in every
// channel; the failure message names both colours.
::testing::AssertionResult PixelNear(const platform::RgbImage& image, int x, int y, Rgb expected,
                                     int tolerance = 0);

}  // namespace testsupport
