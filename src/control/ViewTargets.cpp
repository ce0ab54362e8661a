#include "control/ViewTargets.h"

#include "view3d/NavigationControls.h"
#include "view3d/NeighborView.h"

bool control::ViewTargets::NavigationPress(int x, int y, int width, int height, bool release) {
    navigation_.SetViewSize(width, height);
    return release ? navigation_.OnLButtonUp(x, y) : navigation_.OnLButtonDown(x, y);
}

bool control::ViewTargets::NavigationHover(int x, int y) {
    return navigation_.OnMouseMove(x, y);
}

bool control::ViewTargets::NeighborAt(int x, int y) {
    return neighbors_.HitTest(x, y) >= 0;
}

bool control::ViewTargets::NeighborClick(int x, int y) {
    const int index = neighbors_.HitTest(x, y);
    if (index >= 0) {
        neighbors_.Click(index);
    }
    return false;
}
