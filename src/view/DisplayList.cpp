#include "view/DisplayList.h"

#include "streamlines/StreamlineSet.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace tvl {

DisplayList::~DisplayList()
{
    if (name_ != 0)
        glDeleteBuffers(1, &name_);
    if (segments_ != 0)
        glDeleteBuffers(1, &segments_);
}

bool DisplayList::record(const StreamlineSet& lines)
{
    stripCount_ = 0;
    indexCount_ = 0;
    if (name_ == 0)
        glGenBuffers(1, &name_);
    if (segments_ == 0)
        glGenBuffers(1, &segments_);
    if (name_ == 0 || segments_ == 0)
        return false;
    const std::vector<Vector3>& points = lines.points();
    // Indices are 32-bit and the segment count reaches GL as GLsizei.
    if (points.size() >= std::numeric_limits<std::uint32_t>::max()
        || 2 * points.size() > static_cast<std::size_t>(std::numeric_limits<GLsizei>::max()))
        return false;
    std::vector<std::uint32_t> indices;
    indices.reserve(2 * points.size());
    int strips = 0;
    for (const StreamlineSet::HalfLine& half : lines.halfLines()) {
        // A strip of one point lights nothing.
        if (half.count < 2)
            continue;
        ++strips;
        const auto first = static_cast<std::uint32_t>(half.first);
        const auto last = static_cast<std::uint32_t>(half.first + half.count - 1);
        for (std::uint32_t k = first; k < last; ++k) {
            indices.push_back(k);
            indices.push_back(k + 1);
        }
    }
    // Only an error of the uploads below counts.
    for (int k = 0; k < 64 && glGetError() != GL_NO_ERROR; ++k) { }
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    glBufferData(
        GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(Vector3)), points.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, segments_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
        indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // Buffers the driver could not allocate hold nothing to draw.
    if (glGetError() != GL_NO_ERROR)
        return false;
    stripCount_ = strips;
    indexCount_ = indices.size();
    return true;
}

void DisplayList::call() const
{
    if (indexCount_ == 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, segments_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vector3), nullptr);
    glDrawElements(GL_LINES, static_cast<GLsizei>(indexCount_), GL_UNSIGNED_INT, nullptr);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace tvl
