#include "view3d/NeighborView.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLText.h"
#include "glcore/SX_OpenGLWorld.h"
#include "host/SX_EventIds.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "resources/NavigationImages.h"
#include "view3d/IconOverlay.h"

using StraleLib::AutoCriticalLock;

namespace {

// Length of the label's leader line along each axis: 50 cos(45 degrees).
const double kLabelOffset = 50.0 * std::cos(M_PI / 4.0);

// Non-zero winding test of an integer point against a closed polygon.
bool InsideOutline(int x, int y) {
    int winding = 0;
    constexpr int n = 10;
    for (int i = 0; i < n; ++i) {
        const int* a = view3d::NeighborView::kOutline[i];
        const int* b = view3d::NeighborView::kOutline[(i + 1) % n];
        const long long cross = static_cast<long long>(b[0] - a[0]) * (y - a[1]) -
                                static_cast<long long>(x - a[0]) * (b[1] - a[1]);
        if (a[1] <= y) {
            if (b[1] > y && cross > 0) {
                ++winding;
            }
        } else if (b[1] <= y && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

// Moves the raster position to a window pixel, also off the left or bottom
// edge (where glRasterPos would make it invalid and draw nothing).
void RasterAt(int x, int y) {
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(x), static_cast<GLfloat>(y), nullptr);
}

}  // namespace

view3d::NeighborView::NeighborView() {
    SetBuiltInIcon();
}

void view3d::NeighborView::Reset(const SX_PanoramaDataSet& dataSet) {
    AutoCriticalLock lock(lock_);
    records_ = dataSet.Neighbors();
    for (Neighbor& n : records_) {
        n.screenX = kOffScreen;
        n.screenY = kOffScreen;
    }
    labels_ = dataSet.ShowNeighborLabels();
    radius_ = dataSet.StationIconRadius();
    RebuildDisplayed(dataSet.GetMaxVisibleNeighbors());
    ComputeResetRanges();
}

void view3d::NeighborView::Clear() {
    AutoCriticalLock lock(lock_);
    records_.clear();
    displayed_.clear();
    for (Range& r : ranges_) {
        r = Range{};
    }
}

// ---------------------------------------------------------------------------
// Icon

void view3d::NeighborView::SetIcon(const platform::RgbImage& image) {
    if (image.width <= 0 || image.height <= 0) {
        return;
    }
    const int w = image.width;
    const int h = image.height;
    const std::uint8_t* key = image.rgb.data();  // the top-left pixel
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(w) * h * 4);
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* src = image.rgb.data() + static_cast<std::size_t>(row) * w * 3;
        std::uint8_t* dst = bgra.data() + static_cast<std::size_t>(h - 1 - row) * w * 4;
        for (int x = 0; x < w; ++x, src += 3, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = (src[0] == key[0] && src[1] == key[1] && src[2] == key[2]) ? 0 : 255;
        }
    }
    AutoCriticalLock lock(lock_);
    iconWidth_ = w;
    iconHeight_ = h;
    icon_ = std::move(bgra);
}

void view3d::NeighborView::SetBuiltInIcon() {
    const auto png = resources::ImageResource(resources::kStationIconImage);
    platform::RgbaImage rgba;
    if (!platform::DecodePngRgba(png.data(), png.size(), rgba)) {
        return;
    }
    platform::RgbImage rgb;
    rgb.width = rgba.width;
    rgb.height = rgba.height;
    rgb.rgb.reserve(rgba.rgba.size() / 4 * 3);
    for (std::size_t i = 0; i < rgba.rgba.size(); i += 4) {
        rgb.rgb.insert(rgb.rgb.end(), rgba.rgba.begin() + i, rgba.rgba.begin() + i + 3);
    }
    SetIcon(rgb);
}

bool view3d::NeighborView::SetIconFromFile(const std::u16string& path) {
    if (path.empty()) {
        return false;
    }
    const std::string file = platform::ToUtf8(path);
    platform::RgbImage image;
    if (!platform::DecodeBmpFile(file, image) && !platform::DecodeImageFile(file, image)) {
        return false;
    }
    SetIcon(image);
    return true;
}

int view3d::NeighborView::IconWidth() const {
    AutoCriticalLock lock(lock_);
    return iconWidth_;
}

int view3d::NeighborView::IconHeight() const {
    AutoCriticalLock lock(lock_);
    return iconHeight_;
}

std::vector<std::uint8_t> view3d::NeighborView::IconPixels() const {
    AutoCriticalLock lock(lock_);
    return icon_;
}

// ---------------------------------------------------------------------------
// Lists

bool view3d::NeighborView::Spherical(double x, double y, double z, double values[3]) {
    const double r = std::sqrt(x * x + y * y + z * z);
    if (!(r > 0.0)) {
        return false;
    }
    values[0] = r;
    values[1] = std::asin(y / r) * 180.0 / M_PI;
    values[2] = std::atan2(z / r, x / r) * 180.0 / M_PI + 90.0;
    return true;
}

int view3d::NeighborView::Count() const {
    AutoCriticalLock lock(lock_);
    return static_cast<int>(records_.size());
}

std::vector<view3d::NeighborView::Neighbor> view3d::NeighborView::Records() const {
    AutoCriticalLock lock(lock_);
    return records_;
}

std::u16string view3d::NeighborView::NameByIndex(int index) const {
    AutoCriticalLock lock(lock_);
    for (const Neighbor& n : records_) {
        if (n.index == index) {
            return n.name;
        }
    }
    return {};
}

std::u16string view3d::NeighborView::NameByDistance(int i) const {
    AutoCriticalLock lock(lock_);
    return i >= 0 && i < static_cast<int>(records_.size()) ? records_[i].name : std::u16string();
}

std::u16string view3d::NeighborView::NameByAlpha(int i) const {
    AutoCriticalLock lock(lock_);
    return i >= 0 && i < static_cast<int>(displayed_.size()) ? records_[displayed_[i]].name
                                                             : std::u16string();
}

int view3d::NeighborView::PassingCount() const {
    AutoCriticalLock lock(lock_);
    return static_cast<int>(std::count_if(records_.begin(), records_.end(),
                                          [this](const Neighbor& n) { return Passes(n); }));
}

void view3d::NeighborView::RebuildDisplayed(int n) {
    displayed_.clear();
    const int count = std::clamp(n, 0, static_cast<int>(records_.size()));
    for (int i = 0; i < count; ++i) {
        displayed_.push_back(i);
    }
    std::stable_sort(displayed_.begin(), displayed_.end(),
                     [this](int a, int b) { return records_[a].name < records_[b].name; });
}

void view3d::NeighborView::SetMaxDisplayed(int n) {
    AutoCriticalLock lock(lock_);
    RebuildDisplayed(n);
}

int view3d::NeighborView::DisplayedCount() const {
    AutoCriticalLock lock(lock_);
    return static_cast<int>(displayed_.size());
}

bool view3d::NeighborView::DisplayedDirection(int i, double& altitude, double& azimuth) const {
    AutoCriticalLock lock(lock_);
    if (i < 0 || i >= static_cast<int>(displayed_.size())) {
        return false;
    }
    const Neighbor& n = records_[displayed_[i]];
    double v[3];
    if (!Spherical(n.x, n.y, n.z, v)) {
        return false;
    }
    altitude = v[1];
    azimuth = v[2];
    return true;
}

// ---------------------------------------------------------------------------
// Ranges and visibility

bool view3d::NeighborView::Passes(const Neighbor& n) const {
    double v[3] = {0.0, 0.0, 0.0};
    Spherical(n.x, n.y, n.z, v);  // a neighbour at the station itself: all 0
    for (int k = 0; k < 3; ++k) {
        const Range& r = ranges_[k];
        if (r.used && (v[k] < std::min(r.from, r.to) || v[k] > std::max(r.from, r.to))) {
            return false;
        }
    }
    return true;
}

void view3d::NeighborView::ApplyFilter() {
    for (Neighbor& n : records_) {
        n.visible = Passes(n) ? 1 : 0;
    }
}

view3d::NeighborView::Range view3d::NeighborView::GetRange(int type) const {
    AutoCriticalLock lock(lock_);
    return type >= 0 && type < 3 ? ranges_[type] : Range{};
}

bool view3d::NeighborView::IsRangeUsed(int type) const {
    return GetRange(type).used;
}

void view3d::NeighborView::StoreRange(int type, Range range) {
    if (type < 0 || type >= 3) {
        return;
    }
    AutoCriticalLock lock(lock_);
    ranges_[type] = range;
    ApplyFilter();
}

void view3d::NeighborView::SetRange(int type, bool used, double from, double to) {
    StoreRange(type, Range{used, from, to});
    Fire(SX_ControlEvents::kUpdateNeighborList);
    Fire(SX_ControlEvents::kShowNeighbors, {platform::Variant(std::int32_t{1})});
}

void view3d::NeighborView::ComputeResetRanges() {
    for (Range& r : ranges_) {
        r = Range{};
    }
    for (const Neighbor& n : records_) {
        double v[3];
        if (!Spherical(n.x, n.y, n.z, v)) {
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            ranges_[k].from = std::min(ranges_[k].from, v[k]);
            ranges_[k].to = std::max(ranges_[k].to, v[k]);
        }
    }
    for (Range& r : ranges_) {
        r.from -= 1.0;
        r.to += 1.0;
    }
    ApplyFilter();
}

void view3d::NeighborView::ResetRanges() {
    {
        AutoCriticalLock lock(lock_);
        ComputeResetRanges();
    }
    Fire(SX_ControlEvents::kUpdateNeighborRanges);
}

void view3d::NeighborView::HideAll() {
    {
        AutoCriticalLock lock(lock_);
        for (Neighbor& n : records_) {
            n.visible = 0;
        }
    }
    Fire(SX_ControlEvents::kShowNeighbors, {platform::Variant(std::int32_t{0})});
}

void view3d::NeighborView::SetVisibility(const std::u16string& name, bool shown) {
    {
        AutoCriticalLock lock(lock_);
        const auto it = std::find_if(records_.begin(), records_.end(),
                                     [&](const Neighbor& n) { return n.name == name; });
        if (it != records_.end()) {
            it->visible = shown ? 1 : 0;
        }
    }
    Fire(SX_ControlEvents::kShowNeighbors, {platform::Variant(std::int32_t{1})});
}

bool view3d::NeighborView::IsVisible(const std::u16string& name) const {
    AutoCriticalLock lock(lock_);
    const Neighbor* first = nullptr;
    for (const Neighbor& n : records_) {
        if (n.name == name && (first == nullptr || n.index < first->index)) {
            first = &n;
        }
    }
    return first == nullptr || first->visible != 0;
}

void view3d::NeighborView::SetDrawingEnabled(bool enabled) {
    AutoCriticalLock lock(lock_);
    enabled_ = enabled;
}

bool view3d::NeighborView::DrawingEnabled() const {
    AutoCriticalLock lock(lock_);
    return enabled_;
}

void view3d::NeighborView::SetShowLabels(bool show) {
    AutoCriticalLock lock(lock_);
    labels_ = show;
}

bool view3d::NeighborView::ShowLabels() const {
    AutoCriticalLock lock(lock_);
    return labels_;
}

int view3d::NeighborView::IconRadius() const {
    AutoCriticalLock lock(lock_);
    return radius_;
}

// ---------------------------------------------------------------------------
// Frame, hit test, opening

void view3d::NeighborView::Draw(StraleLib::SX_OpenGLWorld& world,
                                StraleLib::SX_OpenGLCamera* camera, int mode) {
    AutoCriticalLock lock(lock_);
    for (Neighbor& n : records_) {
        n.screenX = kOffScreen;
        n.screenY = kOffScreen;
    }
    if (!enabled_ || mode == 1 || camera == nullptr) {
        return;
    }
    const int width = world.Width();
    const int height = world.Height();
    struct Placed {
        int x, y;  // OpenGL orientation
        const std::u16string* name;
    };
    std::vector<Placed> placed;
    for (int i : displayed_) {
        Neighbor& n = records_[i];
        int column = 0;
        int row = 0;
        if (n.visible == 0 || !camera->Project(n.x, n.y, n.z, true, column, row)) {
            continue;
        }
        if (column < 0 || column > width || row < 0 || row > height) {
            continue;
        }
        n.screenX = column;
        n.screenY = row;
        placed.push_back({column, height - row, &n.name});
    }
    if (placed.empty()) {
        return;
    }
    BeginIconOverlay(world);
    glEnable(GL_LINE_SMOOTH);
    StraleLib::SX_OpenGLText label(&world);
    StyleIconLabel(label, camera);
    for (const Placed& p : placed) {
        if (!icon_.empty()) {
            RasterAt(p.x - iconWidth_ / 2, p.y - iconHeight_ / 2);
            glDrawPixels(iconWidth_, iconHeight_, GL_BGRA, GL_UNSIGNED_BYTE, icon_.data());
        }
        if (labels_) {
            const double ex = p.x + kLabelOffset;
            const double ey = p.y + kLabelOffset;
            glLineWidth(3.0f);
            glColor4ub(0, 64, 0, 255);
            glBegin(GL_LINES);
            glVertex2d(ex, ey);
            glVertex2d(p.x, p.y);
            glEnd();
            glLineWidth(1.0f);
            glColor4ub(255, 255, 0, 255);
            glBegin(GL_LINES);
            glVertex2d(ex, ey);
            glVertex2d(p.x, p.y);
            glEnd();
            label.SetText(*p.name);
            label.SetPosition(ex, ey, 0.0);
            label.Draw();
        }
    }
    glDisable(GL_BLEND);
    world.EndOverlay();
}

int view3d::NeighborView::HitTest(int x, int y) const {
    AutoCriticalLock lock(lock_);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const Neighbor& n = records_[i];
        if (n.visible == 0 || n.screenX == kOffScreen || n.screenY == kOffScreen) {
            continue;
        }
        const long long dx = static_cast<long long>(x) - n.screenX;
        const long long dy = static_cast<long long>(y) - n.screenY;
        const bool hit = radius_ != 0
                             ? dx * dx + dy * dy < static_cast<long long>(radius_) * radius_
                             : std::llabs(dx) < 64 && std::llabs(dy) < 64 &&
                                   InsideOutline(static_cast<int>(dx), static_cast<int>(dy));
        if (hit) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool view3d::NeighborView::Click(int index) {
    std::u16string location;
    {
        AutoCriticalLock lock(lock_);
        if (index < 0 || index >= static_cast<int>(records_.size())) {
            return false;
        }
        location = records_[index].resolvedUrl;
    }
    return OpenLocation(location);
}

bool view3d::NeighborView::OpenDisplayed(int i) {
    std::u16string location;
    {
        AutoCriticalLock lock(lock_);
        if (i < 0 || i >= static_cast<int>(displayed_.size())) {
            return false;
        }
        location = records_[displayed_[i]].resolvedUrl;
    }
    return OpenLocation(location);
}

bool view3d::NeighborView::OpenLocation(const std::u16string& location) {
    if (location.empty()) {
        return false;
    }
    constexpr std::u16string_view kFileScheme = u"file://";
    if (location.compare(0, kFileScheme.size(), kFileScheme) == 0 &&
        !platform::FileExists(std::u16string_view(location).substr(kFileScheme.size()))) {
        return false;
    }
    if (platform::ProbePath(location) == platform::PathProbe::FileNotFound) {
        return false;
    }
    Fire(SX_ControlEvents::kOpenNewPanora, {platform::Variant(location)});
    return true;
}

void view3d::NeighborView::Fire(platform::DISPID id, std::vector<platform::Variant> args) {
    if (sink_) {
        sink_(id, args);
    }
}
