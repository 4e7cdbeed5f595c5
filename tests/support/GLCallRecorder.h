#pragma once

// Records the primitives that the code under test hands to GL, as the calls
// carry them (before any transformation or clipping), by standing in for
// glBegin, glColor3f and glVertex2f, and for glDrawArrays from a float vertex
// array (each triangle of GL_TRIANGLES one primitive), within this test
// executable; every call still goes on to the driver. The executable's own
// definitions take precedence over the GL library's for the static libraries
// linked into it.
// Include this header in exactly one source file of a test executable.

#include <GL/gl.h>
#include <dlfcn.h>

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace tvl::test {

struct RecordedPrimitive {
    GLenum mode = 0;
    std::array<float, 3> colour {}; // current colour at glBegin
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
    GLint arraySize = 0;
    GLsizei arrayStride = 0;
    const float* array = nullptr;
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

template <typename Function> Function nextGL(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace tvl::test

extern "C" {

void glBegin(GLenum mode)
{
    static const auto next = tvl::test::nextGL<void (*)(GLenum)>("glBegin");
    auto& recorder = tvl::test::glCallRecorder();
    if (recorder.active)
        recorder.primitives.push_back({mode, recorder.colour, {}});
    next(mode);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    static const auto next = tvl::test::nextGL<void (*)(GLfloat, GLfloat, GLfloat)>("glColor3f");
    tvl::test::glCallRecorder().colour = {red, green, blue};
    next(red, green, blue);
}

void glVertex2f(GLfloat x, GLfloat y)
{
    static const auto next = tvl::test::nextGL<void (*)(GLfloat, GLfloat)>("glVertex2f");
    tvl::test::glCallRecorder().vertex(x, y, 0.0f);
    next(x, y);
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    static const auto next = tvl::test::nextGL<void (*)(GLint, GLenum, GLsizei, const void*)>("glVertexPointer");
    auto& recorder = tvl::test::glCallRecorder();
    recorder.arraySize = size;
    recorder.arrayStride = stride > 0 ? stride : size * static_cast<GLsizei>(sizeof(float));
    recorder.array = type == GL_FLOAT ? static_cast<const float*>(pointer) : nullptr;
    next(size, type, stride, pointer);
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    static const auto next = tvl::test::nextGL<void (*)(GLenum, GLint, GLsizei)>("glDrawArrays");
    auto& recorder = tvl::test::glCallRecorder();
    if (recorder.active && recorder.array != nullptr) {
        const GLsizei perPrimitive = mode == GL_TRIANGLES ? 3 : count;
        for (GLsizei i = 0; i < count; ++i) {
            if (perPrimitive == 0 || i % perPrimitive == 0)
                recorder.primitives.push_back({mode, recorder.colour, {}});
            const auto* vertex = reinterpret_cast<const float*>(reinterpret_cast<const char*>(recorder.array)
                + static_cast<std::ptrdiff_t>(first + i) * recorder.arrayStride);
            recorder.vertex(
                vertex[0], recorder.arraySize > 1 ? vertex[1] : 0.0f, recorder.arraySize > 2 ? vertex[2] : 0.0f);
        }
    }
    next(mode, first, count);
}

} // extern "C"
