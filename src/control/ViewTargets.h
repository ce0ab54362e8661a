#pragma once
// What lies over the control's 3D view: its navigation controls and neighbour
// station icons (hotlinks join later), answered for the graphic window's
// mouse handling.

#include "view3d/ViewTargets.h"

namespace view3d {
class NavigationControls;
class NeighborView;
}  // namespace view3d

namespace control {

class ViewTargets final : public view3d::ViewTargets {
  public:
    ViewTargets(view3d::NavigationControls& navigation, view3d::NeighborView& neighbors)
        : navigation_(navigation), neighbors_(neighbors) {}

    bool NavigationPress(int x, int y, int width, int height, bool release) override;
    bool NavigationHover(int x, int y) override;
    bool NeighborAt(int x, int y) override;
    bool NeighborClick(int x, int y) override;

  private:
    view3d::NavigationControls& navigation_;
    view3d::NeighborView& neighbors_;
};

}  // namespace control
