#pragma once

// Records the immediate-mode primitives that the code under test hands to GL,
// as the calls carry them (before any transformation or clipping), by standing
// in for glBegin, glColor3f, glVertex2f and glVertex3f within the test
// executable; every call still goes on to the driver. Include this header in
// exactly one source file of a test executable.

#include <GL/gl.h>
#include <dlfcn.h>

#include <array>
#include <utility>
#include <vector>

namespace tvl::test {

struct RecordedPrimitive {
    GLenum mode = 0;
    std::array<float, 3> colour {}; // the current colour at glBegin
    std::vector<std::array<float, 3>> vertices;
};

struct GLCallRecorder {
    bool active = false;
    std::array<float, 3> colour {1.0f, 1.0f, 1.0f};
    std::vector<RecordedPrimitive> primitives;
    void vertex(float x, float y, float z)
    {
        if (active && !primitives.empty())
            primitives.back().vertices.push_back({x, y, z});
    }
};

inline GLCallRecorder& glCallRecorder()
{
    static GLCallRecorder recorder;
    return recorder;
}

// The primitives that draw() begins, in order.
template <typename Draw> std::vector<RecordedPrimitive> recordPrimitives(Draw&& draw)
{
    GLCallRecorder& recorder = glCallRecorder();
    recorder.primitives.clear();
    recorder.active = true;
    std::forward<Draw>(draw)();
    recorder.active = false;
    return std::move(recorder.primitives);
}

// The driver's own entry point of a GL function this header stands in for.
template <typename Function> Function nextGL(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace tvl::test

extern "C" {

void glBegin(GLenum mode)
{
    auto& recorder = tvl::test::glCallRecorder();
    if (recorder.active)
        recorder.primitives.push_back({mode, recorder.colour, {}});
    static const auto next = tvl::test::nextGL<void (*)(GLenum)>("glBegin");
    next(mode);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    tvl::test::glCallRecorder().colour = {red, green, blue};
    static const auto next = tvl::test::nextGL<void (*)(GLfloat, GLfloat, GLfloat)>("glColor3f");
    next(red, green, blue);
}

void glVertex2f(GLfloat x, GLfloat y)
{
    tvl::test::glCallRecorder().vertex(x, y, 0.0f);
    static const auto next = tvl::test::nextGL<void (*)(GLfloat, GLfloat)>("glVertex2f");
    next(x, y);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    tvl::test::glCallRecorder().vertex(x, y, z);
    static const auto next = tvl::test::nextGL<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    next(x, y, z);
}

} // extern "C"
