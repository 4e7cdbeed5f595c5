#include "view/DisplayList.h"

#include <GL/gl.h>

namespace tvl {

DisplayList::~DisplayList()
{
    if (name_ != 0)
        glDeleteLists(name_, 1);
}

bool DisplayList::begin()
{
    if (name_ == 0)
        name_ = glGenLists(1);
    if (name_ == 0)
        return false;
    glNewList(name_, GL_COMPILE);
    return true;
}

void DisplayList::end()
{
    glEndList();
}

void DisplayList::call() const
{
    if (name_ != 0)
        glCallList(name_);
}

} // namespace tvl
