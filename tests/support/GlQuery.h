#pragma once
// One OpenGL integer state value, for tests that check what a draw left set.

#include <GL/gl.h>

namespace testsupport {

inline GLint GetInt(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

}  // namespace testsupport
