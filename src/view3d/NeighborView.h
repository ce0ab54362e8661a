#pragma once
// The neighbour stations of the loaded station as the 3D view shows them:
// their records in distance order (as the data set parsed them), the
// displayed list (the first N of them, sorted by name), the three range
// filters, the drawing settings and the station icon.
//
// Life cycle: Reset copies the records and settings from the data set right
// after its description file was read (on the loader thread); Clear empties
// everything when a load is stopped. Every other call comes from the window
// thread. A recursive lock guards the state, never held while an event fires.
//
// Per frame: Draw first marks every record as not on screen, then stores the
// top-down window position of each displayed, visible neighbour it draws, so
// HitTest only ever finds icons of the last frame.
//
// Range filter: a record passes when, for every used range, its value
// (distance, altitude or azimuth in degrees) lies between from and to
// inclusive, whichever of the two is larger; an azimuth range does not wrap
// round 270/-90. The filter overwrites the visible flags.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "glcore/AutoCriticalSection.h"
#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "platform/Image.h"
#include "station/SX_PanoramaDataSet.h"

namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLWorld;
}  // namespace StraleLib

namespace view3d {

class NeighborView {
  public:
    using Neighbor = SX_PanoramaDataSet::Neighbor;
    enum RangeType { kDistance = 0, kAltitude = 1, kAzimuth = 2 };
    struct Range {
        bool used = false;
        double from = 0.0;
        double to = 0.0;
    };
    // Fires one event of the control (OpenNewPanora, UpdateNeighborList,
    // UpdateNeighborRanges, ShowNeighbors).
    using EventSink = std::function<void(platform::DISPID, const std::vector<platform::Variant>&)>;

    static constexpr int kOffScreen = 2147483647;
    // Outline of the icon's hit area around its position when the icon
    // radius is 0 (y grows downward).
    static constexpr int kOutline[10][2] = {{-1, -18}, {3, -18},  {15, 6},   {15, 10},  {14, 11},
                                            {13, 12},  {-10, 12}, {-13, 11}, {-14, 10}, {-14, 6}};

    NeighborView();

    void SetEventSink(EventSink sink) { sink_ = std::move(sink); }

    // Takes the records, the displayed count, the label flag and the icon
    // radius from a data set that has just read its description file, and
    // resets the ranges.
    void Reset(const SX_PanoramaDataSet& dataSet);
    void Clear();

    // The station icon. From a file: a Windows bitmap, else a PNG or JPEG;
    // false (icon unchanged) when it cannot be decoded. The built-in icon is
    // resource 202. Either way the colour of the top-left pixel becomes
    // transparent and every other pixel opaque.
    bool SetIconFromFile(const std::u16string& path);
    void SetBuiltInIcon();
    void SetIcon(const platform::RgbImage& image);
    int IconWidth() const;
    int IconHeight() const;
    // B, G, R, A, bottom row first.
    std::vector<std::uint8_t> IconPixels() const;

    // Lists.
    int Count() const;
    bool HasNeighbors() const { return Count() > 0; }
    std::vector<Neighbor> Records() const;  // distance order
    // Name of the record whose index field is index; "" when none.
    std::u16string NameByIndex(int index) const;
    // Name of the i-th record of the distance list / displayed list.
    std::u16string NameByDistance(int i) const;
    std::u16string NameByAlpha(int i) const;
    // Records of the distance list passing the ranges (visible flags aside).
    int PassingCount() const;
    void SetMaxDisplayed(int n);
    int DisplayedCount() const;
    // Altitude and azimuth of the i-th displayed neighbour; false when there
    // is none or it lies at distance 0.
    bool DisplayedDirection(int i, double& altitude, double& azimuth) const;

    // Ranges.
    Range GetRange(int type) const;
    bool IsRangeUsed(int type) const;
    // Stores the range, applies the filter, fires UpdateNeighborList and
    // ShowNeighbors(1).
    void SetRange(int type, bool used, double from, double to);
    // Stores the range and applies the filter, without events (reading a
    // markup file).
    void StoreRange(int type, Range range);
    // Each range from 1 below the smallest to 1 above the largest value (0
    // always inside), not used; filter; fires UpdateNeighborRanges.
    void ResetRanges();

    // Visibility.
    void HideAll();                                              // ShowNeighbors(0)
    void SetVisibility(const std::u16string& name, bool shown);  // ShowNeighbors(1)
    // True when no neighbour has that name.
    bool IsVisible(const std::u16string& name) const;

    // Settings.
    void SetDrawingEnabled(bool enabled);
    bool DrawingEnabled() const;
    void SetShowLabels(bool show);
    bool ShowLabels() const;
    int IconRadius() const;

    // With the context current, after the scene: icons and labels of the
    // displayed, visible neighbours. Nothing in mode 1 or when disabled.
    void Draw(StraleLib::SX_OpenGLWorld& world, StraleLib::SX_OpenGLCamera* camera, int mode);
    // The position in the distance list of the first visible neighbour whose
    // icon of the last frame lies under the window point (top-down); -1.
    int HitTest(int x, int y) const;
    // Opens the i-th neighbour of the distance list (a click on its icon).
    bool Click(int index);
    // Opens the i-th neighbour of the displayed list.
    bool OpenDisplayed(int i);
    // Fires OpenNewPanora with the location unless it names a missing file:
    // a "file://" location must name an existing file, and a plain path that
    // does not exist (in an existing folder) is not opened. Web locations
    // pass. An empty location is never opened.
    bool OpenLocation(const std::u16string& location);

    // The distance, altitude and azimuth of a position; false at distance 0.
    static bool Spherical(double x, double y, double z, double values[3]);

  private:
    bool Passes(const Neighbor& n) const;
    void ApplyFilter();
    void ComputeResetRanges();
    void RebuildDisplayed(int n);
    void Fire(platform::DISPID id, std::vector<platform::Variant> args = {});

    mutable StraleLib::AutoCriticalSection lock_;
    EventSink sink_;
    std::vector<Neighbor> records_;
    std::vector<int> displayed_;  // indexes into records_
    Range ranges_[3];
    bool enabled_ = true;
    bool labels_ = false;
    int radius_ = 0;
    int iconWidth_ = 0;
    int iconHeight_ = 0;
    std::vector<std::uint8_t> icon_;
};

}  // namespace view3d
