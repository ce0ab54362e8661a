#include "view3d/SX_GraphicWindow.h"

bool SX_GraphicWindow::PickPoint(int x, int y, double& X, double& Y, double& Z) {
    (void)x;
    (void)y;
    X = Y = Z = 0.0;
    return false;  // later: unproject and read the face's point file
}
