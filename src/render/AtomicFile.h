#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace tvl {

// Writes a file so that nobody ever sees half of it: write() fills a
// temporary file beside path, which is renamed into place only when write()
// succeeded and the file was closed without error. On failure (false, error
// says why; write() may set error itself) no file is left behind and an
// existing file of that name is kept as it was. The file gets the mode the
// user's umask gives new files.
bool writeFileAtomically(
    const std::string& path, const std::function<bool(std::FILE* file, std::string& error)>& write, std::string& error);

} // namespace tvl
