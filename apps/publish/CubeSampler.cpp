#include "publish/CubeSampler.h"
#include "platform/Thread.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace publish {

namespace {

constexpr float kNone = 0.0f;

std::size_t Pixels(int size) {
    return static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
}

void Allocate(SampledFace& f, int size) {
    const std::size_t n = Pixels(size);
    f.range.assign(n, kNone);
    f.du.assign(n, 0);
    f.dv.assign(n, 0);
    f.rgb.assign(n * 3, 0);
    f.seen.assign(n, 0);
}

// In 1/63 of a pixel, short of the pixel's border by 1/63 so that the point
// file writer, which rejects points more than half a pixel outside theirs,
// never sees one there through rounding.
int Quantise(double d) {
    return static_cast<int>(std::floor(std::clamp(d * 63.0, -62.0, 62.0) + 0.5));
}

// A pixel that no direction reached (the face finer than the scan) takes the
// mean colour of its coloured neighbours; twice, so gaps two pixels wide close.
void FillColourGaps(SampledFace& f, int size) {
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<std::uint8_t> seen = f.seen;
        for (int row = 0; row < size; ++row) {
            for (int col = 0; col < size; ++col) {
                const std::size_t i = static_cast<std::size_t>(row) * size + col;
                if (seen[i] != 0) {
                    continue;
                }
                int sum[3] = {0, 0, 0}, n = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int y = row + dy, x = col + dx;
                        if (y < 0 || x < 0 || y >= size || x >= size) {
                            continue;
                        }
                        const std::size_t j = static_cast<std::size_t>(y) * size + x;
                        if (seen[j] != 0) {
                            for (int c = 0; c < 3; ++c) {
                                sum[c] += f.rgb[j * 3 + c];
                            }
                            ++n;
                        }
                    }
                }
                if (n > 0) {
                    for (int c = 0; c < 3; ++c) {
                        f.rgb[i * 3 + c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
                    }
                    f.seen[i] = 1;
                }
            }
        }
    }
}

// Runs fn(face) for the six faces on up to `threads` threads.
template <typename Fn>
void ForEachFace(int threads, Fn fn) {
    std::atomic<int> next{0};
    auto work = [&] {
        for (int f = next++; f < 6; f = next++) {
            fn(f);
        }
    };
    platform::RunOnThreads(std::clamp(threads, 1, 6), work);
}

}  // namespace

bool ProjectOnFace(int face, const Vec3& v, int size, double& x, double& y) {
    double m = 0, s = 0, t = 0;
    switch (face) {
        case 0:
            m = -v[0];
            s = -v[2];
            t = v[1];
            break;
        case 1:
            m = -v[2];
            s = v[0];
            t = v[1];
            break;
        case 2:
            m = v[0];
            s = v[2];
            t = v[1];
            break;
        case 3:
            m = v[2];
            s = -v[0];
            t = v[1];
            break;
        case 4:
            m = v[1];
            s = v[0];
            t = v[2];
            break;
        default:
            m = -v[1];
            s = v[0];
            t = -v[2];
            break;
    }
    if (!(m > 0.0)) {
        return false;
    }
    s /= m;
    t /= m;
    x = (s + 1.0) * 0.5 * size - 0.5;
    y = (1.0 - t) * 0.5 * size - 0.5;
    return true;
}

CubeSampler::CubeSampler(int size, double stepRadians) : size_(size), step_(stepRadians) {
    static_assert(sizeof(Cell) == 16);
    for (auto& cells : cells_) {
        cells.assign(Pixels(size), Cell{});
    }
}

void CubeSampler::Splat(int face, double x, double y, double radius, float range,
                        const std::uint8_t* rgb) {
    Cell* const cells = cells_[face].data();
    const int x0 = std::max(0, static_cast<int>(std::ceil(x - radius)));
    const int x1 = std::min(size_ - 1, static_cast<int>(std::floor(x + radius)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(y - radius)));
    const int y1 = std::min(size_ - 1, static_cast<int>(std::floor(y + radius)));
    // The footprint spans at most 3 x 3 pixels: quantise each offset once.
    int qa[3], qb[3];
    const int nx = std::min(x1 - x0 + 1, 3), ny = std::min(y1 - y0 + 1, 3);
    for (int k = 0; k < nx; ++k) {
        qa[k] = Quantise(x - (x0 + k));
    }
    for (int k = 0; k < ny; ++k) {
        qb[k] = Quantise(y - (y0 + k));
    }
    for (int row = y0; row < y0 + ny; ++row) {
        const int b = qb[row - y0];
        for (int col = x0; col < x0 + nx; ++col) {
            const int a = qa[col - x0];
            Cell& c = cells[static_cast<std::size_t>(row) * size_ + col];
            if (c.range != kNone && c.du * c.du + c.dv * c.dv <= a * a + b * b) {
                continue;
            }
            c.range = range;
            c.du = static_cast<std::int8_t>(a);
            c.dv = static_cast<std::int8_t>(b);
            c.rgb[0] = rgb[0];
            c.rgb[1] = rgb[1];
            c.rgb[2] = rgb[2];
        }
    }
}

bool CubeSampler::Land(const Vec3& p, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                       Landing& out) const {
    const Vec3 view = cubeface::ScanToView(0, p);
    const double range = std::sqrt(view[0] * view[0] + view[1] * view[1] + view[2] * view[2]);
    if (!(range > 0.0)) {
        return false;
    }
    const auto hit = cubeface::FaceOfDirection(view[0], view[1], view[2]);
    // Footprint: three quarters of the step, in pixels where the direction
    // meets the face (a pixel spans less angle towards the face's edges).
    const double s = 2.0 * hit.u - 1.0, t = 1.0 - 2.0 * hit.v;
    out.radius =
        static_cast<float>(std::clamp(0.375 * step_ * size_ * (1.0 + s * s + t * t), 0.5, 1.0));
    for (int k = 0; k < 3; ++k) {
        out.view[k] = static_cast<float>(view[k]);
    }
    out.x = static_cast<float>(hit.u * size_ - 0.5);
    out.y = static_cast<float>(hit.v * size_ - 0.5);
    out.face = static_cast<std::uint8_t>(hit.face);
    out.rgb[0] = r;
    out.rgb[1] = g;
    out.rgb[2] = b;
    return true;
}

void CubeSampler::AddColour(int face, double x, double y, const std::uint8_t* rgb) {
    // The pixel the direction lies in adds the colour to its mean.
    const int col = std::clamp(static_cast<int>(std::floor(x + 0.5)), 0, size_ - 1);
    const int row = std::clamp(static_cast<int>(std::floor(y + 0.5)), 0, size_ - 1);
    Cell& c = cells_[face][static_cast<std::size_t>(row) * size_ + col];
    if (c.count < 255) {
        ++c.count;
        c.sum[0] = static_cast<std::uint16_t>(c.sum[0] + rgb[0]);
        c.sum[1] = static_cast<std::uint16_t>(c.sum[1] + rgb[1]);
        c.sum[2] = static_cast<std::uint16_t>(c.sum[2] + rgb[2]);
    }
}

void CubeSampler::PutColour(const Vec3& view, const std::uint8_t* rgb) {
    const auto hit = cubeface::FaceOfDirection(view[0], view[1], view[2]);
    AddColour(hit.face, hit.u * size_ - 0.5, hit.v * size_ - 0.5, rgb);
}

void CubeSampler::Put(const Landing& l) {
    if (l.face >= 6) {
        return;
    }
    const double x = l.x, y = l.y, radius = l.radius;
    AddColour(l.face, x, y, l.rgb);
    const float range =
        std::sqrt(l.view[0] * l.view[0] + l.view[1] * l.view[1] + l.view[2] * l.view[2]);
    Splat(l.face, x, y, radius, range, l.rgb);
    // A neighbouring face gets the point too when its edge lies within the footprint.
    if (x - radius < 0.0 || y - radius < 0.0 || x + radius > size_ - 1.0 ||
        y + radius > size_ - 1.0) {
        const Vec3 view = {l.view[0], l.view[1], l.view[2]};
        for (int face = 0; face < 6; ++face) {
            double fx = 0, fy = 0;
            if (face == l.face || !ProjectOnFace(face, view, size_, fx, fy) || fx < -0.5 - radius ||
                fy < -0.5 - radius || fx > size_ - 0.5 + radius || fy > size_ - 0.5 + radius) {
                continue;
            }
            Splat(face, fx, fy, radius, range, l.rgb);
        }
    }
}

SampledCube CubeSampler::Finish(int threads) {
    SampledCube cube;
    cube.size = size_;
    ForEachFace(threads, [&](int f) {
        SampledFace& face = cube.faces[f];
        Allocate(face, size_);
        const std::size_t n = Pixels(size_);
        const Cell* const cells = cells_[f].data();
        for (std::size_t i = 0; i < n; ++i) {
            const Cell& c = cells[i];
            if (c.range != kNone) {
                face.range[i] = c.range;
                face.du[i] = c.du;
                face.dv[i] = c.dv;
                face.seen[i] = 1;
            }
            const int count = c.count;
            for (int k = 0; k < 3; ++k) {
                face.rgb[i * 3 + k] =
                    count == 0 ? c.rgb[k]
                               : static_cast<std::uint8_t>((c.sum[k] + count / 2) / count);
            }
            if (count != 0) {
                face.seen[i] = 1;
            }
        }
        std::vector<Cell>().swap(cells_[f]);
        FillColourGaps(face, size_);
    });
    return cube;
}

SampledCube Downsample(const SampledCube& fine, int size, int threads) {
    SampledCube out;
    out.size = size;
    const int n = fine.size;
    const double k = static_cast<double>(size) / n;
    // The coarse column of each fine one, and the offsets d / 63 by table.
    std::vector<int> coarse(static_cast<std::size_t>(n));
    for (int col = 0; col < n; ++col) {
        coarse[col] = std::min(size - 1, static_cast<int>((col + 0.5) * k));
    }
    double offset[127];
    for (int d = -63; d <= 63; ++d) {
        offset[d + 63] = d / 63.0;
    }
    ForEachFace(threads, [&](int f) {
        std::vector<std::uint32_t> sums(Pixels(size) * 3);
        std::vector<std::uint32_t> counts(Pixels(size));
        std::vector<int> best(Pixels(size));
        const SampledFace& in = fine.faces[f];
        SampledFace& o = out.faces[f];
        Allocate(o, size);
        for (int row = 0; row < n; ++row) {
            const int cr = std::min(size - 1, static_cast<int>((row + 0.5) * k));
            for (int col = 0; col < n; ++col) {
                const std::size_t i = static_cast<std::size_t>(row) * n + col;
                const int cc = coarse[col];
                const std::size_t j = static_cast<std::size_t>(cr) * size + cc;
                if (in.seen[i] != 0) {
                    for (int c = 0; c < 3; ++c) {
                        sums[j * 3 + c] += in.rgb[i * 3 + c];
                    }
                    ++counts[j];
                }
                if (in.range[i] == kNone) {
                    continue;
                }
                // The fine point's position in the coarse pixel's frame.
                const double x = (col + 0.5 + offset[in.du[i] + 63]) * k - 0.5 - cc;
                const double y = (row + 0.5 + offset[in.dv[i] + 63]) * k - 0.5 - cr;
                const int a = Quantise(x), b = Quantise(y);
                if (o.range[j] != kNone && best[j] <= a * a + b * b) {
                    continue;
                }
                best[j] = a * a + b * b;
                o.range[j] = in.range[i];
                o.du[j] = static_cast<std::int8_t>(a);
                o.dv[j] = static_cast<std::int8_t>(b);
            }
        }
        for (std::size_t j = 0; j < Pixels(size); ++j) {
            if (counts[j] != 0) {
                for (int c = 0; c < 3; ++c) {
                    o.rgb[j * 3 + c] =
                        static_cast<std::uint8_t>((sums[j * 3 + c] + counts[j] / 2) / counts[j]);
                }
                o.seen[j] = 1;
            }
        }
    });
    return out;
}

FaceOutput MakeFaceOutput(const SampledCube& cube, int face, bool withPoints) {
    FaceOutput out;
    const int n = cube.size;
    const std::size_t pixels = Pixels(n);
    const SampledFace& in = cube.faces[face];
    out.image.width = out.image.height = n;
    out.image.rgb = in.rgb;
    if (!withPoints) {
        return out;
    }
    out.mask.width = out.mask.height = n;
    out.mask.opaque.assign(pixels, 0);
    out.points.face = face;
    out.points.size = n;
    out.points.upDirection = 0;
    out.points.has.assign(pixels, 0);
    out.points.xyz.assign(pixels * 3, 0.0);
    // Any ray through a pixel is within half its diagonal of the centre ray:
    // at most sqrt(2) / n radians, at the face's centre.
    const double halfDiagonal = std::sqrt(2.0) / n;
    const double cosH = std::cos(halfDiagonal), sinH = std::sin(halfDiagonal);
    double offset[127];  // d / 63, by table
    for (int d = -63; d <= 63; ++d) {
        offset[d + 63] = d / 63.0;
    }
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            const std::size_t i = static_cast<std::size_t>(row) * n + col;
            if (in.range[i] == kNone) {
                out.missingPoints = true;
                continue;
            }
            const double r = in.range[i];
            const Vec3 d = cubeface::FaceDirection(face, (col + 0.5 + offset[in.du[i] + 63]) / n,
                                                   (row + 0.5 + offset[in.dv[i] + 63]) / n);
            const Vec3 c = cubeface::PixelDirection(face, col, row, n);
            const double ld = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            const double lc = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
            // sin and cos of the angle between the point and the centre ray,
            // then sin(angle + half diagonal).
            const double cross[3] = {d[1] * c[2] - d[2] * c[1], d[2] * c[0] - d[0] * c[2],
                                     d[0] * c[1] - d[1] * c[0]};
            const double sinA =
                std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]) /
                (ld * lc);
            const double cosA = (d[0] * c[0] + d[1] * c[1] + d[2] * c[2]) / (ld * lc);
            out.maxRayDistance = std::max(out.maxRayDistance, r * (sinA * cosH + cosA * sinH));
            const Vec3 scan =
                cubeface::ViewToScan(0, {d[0] * r / ld, d[1] * r / ld, d[2] * r / ld});
            out.mask.opaque[i] = 1;
            out.points.has[i] = 1;
            out.points.xyz[i * 3 + 0] = scan[0];
            out.points.xyz[i * 3 + 1] = scan[1];
            out.points.xyz[i * 3 + 2] = scan[2];
        }
    }
    return out;
}

}  // namespace publish
