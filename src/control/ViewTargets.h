#pragma once
// What lies over the control's 3D view: its navigation controls, hotlink
// icons and neighbour station icons, answered for the graphic window's mouse
// handling.

#include "view3d/ViewTargets.h"

namespace view3d {
class NavigationControls;
class NeighborView;
}  // namespace view3d

namespace control {

class HotlinkController;

class ViewTargets final : public view3d::ViewTargets {
  public:
    ViewTargets(view3d::NavigationControls& navigation, view3d::NeighborView& neighbors,
                HotlinkController& hotlinks)
        : navigation_(navigation), neighbors_(neighbors), hotlinks_(hotlinks) {}

    bool NavigationPress(int x, int y, int width, int height, bool release) override;
    bool NavigationHover(int x, int y) override;
    bool HotlinkAt(int x, int y) override;
    bool HotlinkClick(int x, int y) override;
    void HotlinkDoubleClick(int x, int y) override;
    bool HotlinkRightClick(int x, int y) override;
    void DeleteHotlink(int x, int y) override;
    void EditHotlink(int x, int y) override;
    bool NeighborAt(int x, int y) override;
    bool NeighborClick(int x, int y) override;

  private:
    view3d::NavigationControls& navigation_;
    view3d::NeighborView& neighbors_;
    HotlinkController& hotlinks_;
};

}  // namespace control
