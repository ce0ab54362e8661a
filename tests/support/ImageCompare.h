#pragma once
// Comparing a rendered or decoded image with the expected one. A pixel is
// "off" when the largest of its channel differences exceeds
// `channelTolerance`; two images of one size match when at most
// `maxOffFraction` of the pixels are off and the mean absolute channel
// difference is at most `maxMeanError`. On a mismatch both images are saved
// as <name>-actual.png and <name>-expected.png in TestOutputDir().

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string_view>

#include "platform/Image.h"

namespace testsupport {

struct ImageTolerance {
    int channelTolerance = 0;     // 0..255
    double maxOffFraction = 0.0;  // 0..1
    double maxMeanError = 255.0;  // 0..255
};

::testing::AssertionResult ImagesMatch(const platform::RgbImage& actual,
                                       const platform::RgbImage& expected,
                                       const ImageTolerance& tolerance = {},
                                       std::string_view name = "image");

// Decodes a JPEG or PNG file; on failure records a test failure and returns
// an empty image.
platform::RgbImage LoadImageForCompare(const std::filesystem::path& path);

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c);

// The pixel at (x, y), rows top-down; black (and a test failure) outside.
Rgb PixelAt(const platform::RgbImage& image, int x, int y);

// Whether the pixel at (x, y) is within `tolerance` of `expected` in every channel.
::testing::AssertionResult PixelNear(const platform::RgbImage& image, int x, int y, Rgb expected,
                                     int tolerance = 0);

}  // namespace testsupport
