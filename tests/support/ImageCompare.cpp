#include "support/ImageCompare.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/TempDir.h"

namespace testsupport {
namespace {

bool WellFormed(const platform::RgbImage& image) {
    return image.width >= 0 && image.height >= 0 &&
           image.rgb.size() == static_cast<std::size_t>(image.width) * image.height * 3;
}

std::string SizeText(const platform::RgbImage& image) {
    return std::to_string(image.width) + " x " + std::to_string(image.height);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Saves the images of a mismatch; notes each path that was written.
void SaveImages(const platform::RgbImage& actual, const platform::RgbImage& expected,
                const platform::RgbImage* diff, std::string_view name, ImageComparison& result) {
    const auto dir = TestOutputDir();
    const std::string base(name);
    std::string saved;
    auto save = [&](const platform::RgbImage& image, const char* suffix,
                    std::filesystem::path& where) {
        if (image.width <= 0 || image.height <= 0 || !WellFormed(image)) {
            return;
        }
        const auto path = dir / (base + "-" + suffix + ".png");
        if (platform::EncodePngFile(image, path.string())) {
            where = path;
            saved += std::string(saved.empty() ? "" : ", ") + suffix + " " + path.string();
        }
    };
    save(actual, "actual", result.actualPath);
    save(expected, "expected", result.expectedPath);
    if (diff != nullptr) {
        save(*diff, "diff", result.diffPath);
    }
    if (!saved.empty()) {
        result.description += "; saved " + saved;
    }
}

}  // namespace

ImageComparison CompareImages(const platform::RgbImage& actual, const platform::RgbImage& expected,
                              const ImageTolerance& tolerance, std::string_view name) {
    ImageComparison result;
    if (!WellFormed(actual) || !WellFormed(expected)) {
        result.description = std::string("malformed image: ") +
                             (WellFormed(actual) ? "expected" : "actual") +
                             " holds the wrong number of bytes for its size";
        return result;
    }
    if (actual.width != expected.width || actual.height != expected.height) {
        result.description =
            "sizes differ: actual " + SizeText(actual) + ", expected " + SizeText(expected);
        SaveImages(actual, expected, nullptr, name, result);
        return result;
    }

    const std::size_t pixels = static_cast<std::size_t>(actual.width) * actual.height;
    platform::RgbImage diff{actual.width, actual.height, std::vector<std::uint8_t>(pixels * 3)};
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(int{actual.rgb[3 * i + c]} - int{expected.rgb[3 * i + c]});
            sum += static_cast<std::uint64_t>(d);
            largest = std::max(largest, d);
        }
        result.maxChannelDifference = std::max(result.maxChannelDifference, largest);
        const bool off = largest > tolerance.channelTolerance;
        if (off) {
            if (result.offPixels == 0) {
                result.firstOffX = static_cast<int>(i % actual.width);
                result.firstOffY = static_cast<int>(i / actual.width);
            }
            ++result.offPixels;
        }
        for (int c = 0; c < 3; ++c) {
            diff.rgb[3 * i + c] = off ? (c == 0 ? 255 : 0) : expected.rgb[3 * i + c] / 4;
        }
    }
    if (pixels > 0) {
        result.offFraction = static_cast<double>(result.offPixels) / static_cast<double>(pixels);
        result.meanAbsError = static_cast<double>(sum) / static_cast<double>(pixels * 3);
    }
    result.matches = result.offFraction <= tolerance.maxOffFraction &&
                     result.meanAbsError <= tolerance.maxMeanError;

    std::ostringstream text;
    text << (result.matches ? "images match: " : "images differ: ") << result.offPixels << " of "
         << pixels << " pixels (" << Fixed(result.offFraction * 100.0, 3)
         << "%) differ by more than " << tolerance.channelTolerance << " in a channel (allowed "
         << Fixed(tolerance.maxOffFraction * 100.0, 3) << "%); mean absolute error "
         << Fixed(result.meanAbsError, 3) << " (allowed " << Fixed(tolerance.maxMeanError, 3)
         << "); largest channel difference " << result.maxChannelDifference;
    if (result.offPixels > 0) {
        const int x = result.firstOffX;
        const int y = result.firstOffY;
        text << "; first off pixel (" << x << ", " << y << "): actual " << PixelAt(actual, x, y)
             << ", expected " << PixelAt(expected, x, y);
    }
    result.description = text.str();
    if (!result.matches) {
        SaveImages(actual, expected, &diff, name, result);
    }
    return result;
}

::testing::AssertionResult ImagesMatch(const platform::RgbImage& actual,
                                       const platform::RgbImage& expected,
                                       const ImageTolerance& tolerance, std::string_view name) {
    const auto result = CompareImages(actual, expected, tolerance, name);
    if (result.matches) {
        return ::testing::AssertionSuccess() << result.description;
    }
    return ::testing::AssertionFailure() << result.description;
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
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || !WellFormed(image)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") lies outside the image of "
                      << SizeText(image);
        return {};
    }
    const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
}

::testing::AssertionResult PixelNear(const platform::RgbImage& image, int x, int y, Rgb expected,
                                     int tolerance) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || !WellFormed(image)) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") lies outside the image of " << SizeText(image);
    }
    const Rgb actual = PixelAt(image, x, y);
    const int d = std::max({std::abs(actual.r - expected.r), std::abs(actual.g - expected.g),
                            std::abs(actual.b - expected.b)});
    if (d <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << actual << ", expected " << expected
           << " within " << tolerance << " (off by " << d << ")";
}

}  // namespace testsupport
