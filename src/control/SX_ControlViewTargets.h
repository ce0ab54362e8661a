#pragma once
// What lies over the control's 3D view: its navigation controls and neighbour
// station icons (hotlinks join later), answered for the graphic window's
// mouse handling.

#include "view3d/SX_ViewTargets.h"

class SX_NavigationControls;
class SX_NeighborView;

class SX_ControlViewTargets final : public SX_ViewTargets {
  public:
    SX_ControlViewTargets(SX_NavigationControls& navigation, SX_NeighborView& neighbors)
        : navigation_(navigation), neighbors_(neighbors) {}

    bool NavigationPress(int x, int y, int width, int height, bool release) override;
    bool NavigationHover(int x, int y) override;
    bool NeighbourAt(int x, int y) override;
    bool NeighbourClick(int x, int y) override;

  private:
    SX_NavigationControls& navigation_;
    SX_NeighborView& neighbors_;
};
