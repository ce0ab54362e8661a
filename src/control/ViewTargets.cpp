#include "control/ViewTargets.h"

#include "control/HotlinkController.h"
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

bool control::ViewTargets::HotlinkAt(int x, int y) {
    return static_cast<bool>(hotlinks_.HitTest(x, y));
}

bool control::ViewTargets::HotlinkClick(int x, int y) {
    hotlinks_.Click(x, y);
    return false;
}

void control::ViewTargets::HotlinkDoubleClick(int x, int y) {
    hotlinks_.DoubleClick(x, y);
}

bool control::ViewTargets::HotlinkRightClick(int x, int y) {
    return hotlinks_.RightClick(x, y);
}

void control::ViewTargets::DeleteHotlink(int x, int y) {
    hotlinks_.DeleteAt(x, y);
}

void control::ViewTargets::EditHotlink(int x, int y) {
    hotlinks_.EditAt(x, y);
}
