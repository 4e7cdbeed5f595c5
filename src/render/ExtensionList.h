#pragma once

namespace tvl {

// Whether a blank-separated extension list (as EGL and GL return them) names
// the extension: a whole entry, not the start or end of a longer one.
bool hasExtension(const char* list, const char* name);

} // namespace tvl
