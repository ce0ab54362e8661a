#include "control/SX_ControlViewTargets.h"

#include "view3d/SX_NavigationControls.h"
#include "view3d/SX_NeighborView.h"

bool SX_ControlViewTargets::NavigationPress(int x, int y, int width, int height, bool release) {
    navigation_.SetViewSize(width, height);
    return release ? navigation_.OnLButtonUp(x, y) : navigation_.OnLButtonDown(x, y);
}

bool SX_ControlViewTargets::NavigationHover(int x, int y) {
    return navigation_.OnMouseMove(x, y);
}

bool SX_ControlViewTargets::NeighbourAt(int x, int y) {
    return neighbors_.HitTest(x, y) >= 0;
}

bool SX_ControlViewTargets::NeighbourClick(int x, int y) {
    const int index = neighbors_.HitTest(x, y);
    if (index >= 0) {
        neighbors_.Click(index);
    }
    return false;
}
