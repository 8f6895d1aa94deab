// Reading and writing whole files as host code must: only regular files are opened (a
// FIFO or a device would block or never end), reads stop at a size limit, and a write
// that does not complete (a full disk, /dev/full) is a failure, not a success.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/host_error.h"

namespace maxhost {

// Fails unless path names a regular file (symbolic links followed).
Status CheckRegularFile(std::string_view function, const std::string& path);

// Reads a regular file of at most maxBytes into out. Messages start with function.
Status ReadRegularFile(std::string_view function, const std::string& path, std::size_t maxBytes,
                       std::vector<unsigned char>& out);
Status ReadRegularFile(std::string_view function, const std::string& path, std::size_t maxBytes,
                       std::string& out);

// Writes bytes to path, replacing it; fails when any byte is not written or the file
// cannot be flushed and closed.
Status WriteWholeFile(std::string_view function, const std::string& path, const void* bytes,
                      std::size_t size);

// Host paths are UTF-8 strings; std::filesystem reads and writes narrow strings in the ANSI
// code page on Windows, so paths cross over through these.
std::filesystem::path PathFromUtf8(const std::string& path);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace maxhost
