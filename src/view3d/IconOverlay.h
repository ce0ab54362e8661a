#pragma once
// What the icon passes over the panorama (neighbour stations, hotlinks) share:
// the GL state of the pass and the look of the icons' labels.

namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLText;
class SX_OpenGLWorld;
}  // namespace StraleLib

namespace view3d {

// Starts the overlay pass: depth test and texturing off, alpha blending on.
void BeginIconOverlay(StraleLib::SX_OpenGLWorld& world);
// A label of an icon: the first font, positions in pixels, yellow text with a
// dark green outline.
void StyleIconLabel(StraleLib::SX_OpenGLText& text, StraleLib::SX_OpenGLCamera* camera);

}  // namespace view3d
