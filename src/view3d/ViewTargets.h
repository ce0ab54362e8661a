#pragma once
// What lies over the 3D view and reacts to the mouse before the camera does:
// the navigation controls (zoom buttons, pan pad, show/hide buttons), the
// hotlink icons and the neighbour station icons. The graphic window and its
// view controller ask these questions at the moments below; the defaults
// answer "nothing there" and do nothing, so the view works without them.
//
// A class that draws such objects derives from this one and is handed to
// SX_GraphicWindow::SetTargets. Positions are the graphic window's client
// pixels (top-down); width and height are the view's size.
//
//   left press / release      NavigationPress first; taken -> nothing else
//                             (a taken release renders a frame)
//   move with no button held  NavigationHover first; a change renders a
//                             frame and ends the handling
//   action lookup (left)      HotlinkAt -> action 8, else NeighborAt -> 9
//   left release, action 8/9  HotlinkClick / NeighborClick
//   hover feedback            NeighborAt / HotlinkAt choose the cursor and
//                             the hotlink menu items' state
//   double click              HotlinkDoubleClick when HotlinkAt
//   right release             HotlinkRightClick when HotlinkAt (true: the
//                             page handled it, no menu); menu commands 402
//                             and 403 call DeleteHotlink / EditHotlink
namespace view3d {

class ViewTargets {
  public:
    virtual ~ViewTargets() = default;

    // Navigation controls: true when a control takes the press (release
    // false) or the release (release true).
    virtual bool NavigationPress(int x, int y, int width, int height, bool release) {
        (void)x, (void)y, (void)width, (void)height, (void)release;
        return false;
    }
    // True when the hover images changed.
    virtual bool NavigationHover(int x, int y) {
        (void)x, (void)y;
        return false;
    }

    // Hotlinks. The click answers whether the view must be redrawn.
    virtual bool HotlinkAt(int x, int y) {
        (void)x, (void)y;
        return false;
    }
    virtual bool HotlinkClick(int x, int y) {
        (void)x, (void)y;
        return false;
    }
    virtual void HotlinkDoubleClick(int x, int y) { (void)x, (void)y; }
    // True when the page marked the right click handled.
    virtual bool HotlinkRightClick(int x, int y) {
        (void)x, (void)y;
        return false;
    }
    virtual void DeleteHotlink(int x, int y) { (void)x, (void)y; }
    virtual void EditHotlink(int x, int y) { (void)x, (void)y; }

    // Neighbour station icons. The click answers whether the view must be
    // redrawn.
    virtual bool NeighborAt(int x, int y) {
        (void)x, (void)y;
        return false;
    }
    virtual bool NeighborClick(int x, int y) {
        (void)x, (void)y;
        return false;
    }
};

}  // namespace view3d
