#pragma once
// host.screenshot(path) for pages run by `panora run`: draws a frame of the
// control's view now (while a saved view is shown, the drawing overlay's
// painted image: the still image, the markup frame and the drawings) and writes it to path, PNG
// when the name ends in ".png" (any case), JPEG of quality 90 otherwise. A relative path is taken
// against the page's folder. The page gets true when the file was written, false when there is no
// view to draw, the context stayed busy for the capture's give-up limit (10 s), or the file could
// not be written; a call without a path throws (bad parameter count).

#include "scripthost/ScriptHost.h"

class SX_Control;

// Adds `screenshot` to the page's host object; false when the name is taken.
bool AddPageScreenshot(scripthost::ScriptHost& host, SX_Control& control);
