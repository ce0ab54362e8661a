// Compiled as if it were a file of src/station, with the station library's
// include path: the headers of station and of the layers below it are found,
// the control's header above it must not be. The `layers.upward-include`
// test expects this file to stop at the control include, and only there.
#include "host/SX_Format.h"
#include "platform/Path.h"
#include "station/SX_CubeMap.h"

#include "control/SX_Control.h"
