#include "publish/EquirectReader.h"

#include <algorithm>
#include <cmath>

namespace publish {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Bilinear sample at photo coordinates (x, y), pixel centres at whole numbers;
// wraps around in x, clamps in y.
void Sample(const platform::RgbImage& p, double x, double y, double* out) {
    const int w = p.width, h = p.height;
    const double fx = std::floor(x), fy = std::floor(y);
    const double ax = x - fx, ay = y - fy;
    int x0 = static_cast<int>(fx) % w;
    if (x0 < 0) {
        x0 += w;
    }
    const int x1 = (x0 + 1) % w;
    const int y0 = std::clamp(static_cast<int>(fy), 0, h - 1);
    const int y1 = std::clamp(static_cast<int>(fy) + 1, 0, h - 1);
    const std::uint8_t* a = &p.rgb[(static_cast<std::size_t>(y0) * w + x0) * 3];
    const std::uint8_t* b = &p.rgb[(static_cast<std::size_t>(y0) * w + x1) * 3];
    const std::uint8_t* c = &p.rgb[(static_cast<std::size_t>(y1) * w + x0) * 3];
    const std::uint8_t* d = &p.rgb[(static_cast<std::size_t>(y1) * w + x1) * 3];
    for (int k = 0; k < 3; ++k) {
        out[k] += (1 - ay) * ((1 - ax) * a[k] + ax * b[k]) + ay * ((1 - ax) * c[k] + ax * d[k]);
    }
}

}  // namespace

bool ReadEquirect(const std::string& path, platform::RgbImage& out, std::string* error) {
    std::string why;
    if (!platform::DecodeImageFile(path, out, &why)) {
        *error = path + ": cannot read the photo" + (why.empty() ? "" : ": " + why);
        return false;
    }
    if (out.width != 2 * out.height) {
        *error = path + ": an equirectangular photo must be twice as wide as high, this one is " +
                 std::to_string(out.width) + " x " + std::to_string(out.height);
        return false;
    }
    return true;
}

SampledCube ResampleEquirect(const platform::RgbImage& photo, int size) {
    SampledCube cube;
    cube.size = size;
    const std::size_t pixels = static_cast<std::size_t>(size) * size;
    const int k = std::clamp(static_cast<int>(std::ceil(photo.width / 4.0 / size)), 1, 8);
    for (int f = 0; f < 6; ++f) {
        SampledFace& face = cube.faces[f];
        face.range.assign(pixels, 0.0f);
        face.du.assign(pixels, 0);
        face.dv.assign(pixels, 0);
        face.seen.assign(pixels, 1);
        face.rgb.resize(pixels * 3);
        for (int row = 0; row < size; ++row) {
            for (int col = 0; col < size; ++col) {
                double sum[3] = {0, 0, 0};
                for (int sy = 0; sy < k; ++sy) {
                    for (int sx = 0; sx < k; ++sx) {
                        const Vec3 d = cubeface::FaceDirection(f, (col + (sx + 0.5) / k) / size,
                                                               (row + (sy + 0.5) / k) / size);
                        // View frame: azimuth clockwise from -z towards +x, elevation up +y.
                        const double azimuth = std::atan2(d[0], -d[2]);
                        const double elevation = std::atan2(d[1], std::hypot(d[0], d[2]));
                        const double x = (azimuth + kPi) / (2 * kPi) * photo.width - 0.5;
                        const double y = (kPi / 2 - elevation) / kPi * photo.height - 0.5;
                        Sample(photo, x, y, sum);
                    }
                }
                const std::size_t i = static_cast<std::size_t>(row) * size + col;
                for (int c = 0; c < 3; ++c) {
                    face.rgb[i * 3 + c] = static_cast<std::uint8_t>(
                        std::lround(std::clamp(sum[c] / (k * k), 0.0, 255.0)));
                }
            }
        }
    }
    return cube;
}

}  // namespace publish
