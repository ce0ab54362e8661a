#include "glcore/SX_OpenGLDrawable.h"

namespace StraleLib {

SX_OpenGLDrawable::~SX_OpenGLDrawable() = default;

}  // namespace StraleLib
