#include "support/ImageCompare.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace testsupport {
namespace {

bool Inside(const platform::RgbImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width && y < image.height &&
           image.rgb.size() == static_cast<std::size_t>(image.width) * image.height * 3;
}

}  // namespace

::testing::AssertionResult ImagesMatch(const platform::RgbImage& actual,
                                       const platform::RgbImage& expected,
                                       const ImageTolerance& tolerance, std::string_view name) {
    bool matches = actual.width == expected.width && actual.height == expected.height &&
                   actual.rgb.size() == expected.rgb.size();
    std::string text = "sizes differ: actual " + std::to_string(actual.width) + " x " +
                       std::to_string(actual.height) + ", expected " +
                       std::to_string(expected.width) + " x " + std::to_string(expected.height);
    if (matches) {
        const std::size_t pixels = actual.rgb.size() / 3;
        std::size_t off = 0;
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < pixels; ++i) {
            int largest = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(actual.rgb[3 * i + c] - expected.rgb[3 * i + c]);
                sum += static_cast<std::uint64_t>(d);
                largest = std::max(largest, d);
            }
            off += largest > tolerance.channelTolerance ? 1 : 0;
        }
        const double offFraction = pixels > 0 ? static_cast<double>(off) / pixels : 0.0;
        const double meanError = pixels > 0 ? static_cast<double>(sum) / (pixels * 3) : 0.0;
        matches = offFraction <= tolerance.maxOffFraction && meanError <= tolerance.maxMeanError;
        text = std::to_string(off) + " of " + std::to_string(pixels) +
               " pixels differ by more than " + std::to_string(tolerance.channelTolerance) +
               " (allowed fraction " + std::to_string(tolerance.maxOffFraction) +
               "); mean absolute error " + std::to_string(meanError) + " (allowed " +
               std::to_string(tolerance.maxMeanError) + ")";
    }
    if (matches) {
        return ::testing::AssertionSuccess() << text;
    }
    for (const auto& [image, suffix] : {std::pair{&actual, "actual"}, {&expected, "expected"}}) {
        const auto path = TestOutputDir() / (std::string(name) + "-" + suffix + ".png");
        if (platform::EncodePngFile(*image, path.string())) {
            text += "; saved " + path.string();
        }
    }
    return ::testing::AssertionFailure() << text;
}

platform::RgbImage LoadImageForCompare(const std::filesystem::path& path) {
    platform::RgbImage image;
    std::string error;
    if (!platform::DecodeImageFile(path.string(), image, &error)) {
        ADD_FAILURE() << "cannot load image for comparison: " << error;
        return {};
    }
    return image;
}

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

Rgb PixelAt(const platform::RgbImage& image, int x, int y) {
    if (!Inside(image, x, y)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") lies outside the image";
        return {};
    }
    const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
}

::testing::AssertionResult PixelNear(const platform::RgbImage& image, int x, int y, Rgb expected,
                                     int tolerance) {
    if (!Inside(image, x, y)) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") lies outside";
    }
    const Rgb actual = PixelAt(image, x, y);
    const int d = std::max({std::abs(actual.r - expected.r), std::abs(actual.g - expected.g),
                            std::abs(actual.b - expected.b)});
    if (d <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << actual
                                         << ", expected " << expected << " within " << tolerance;
}

}  // namespace testsupport
