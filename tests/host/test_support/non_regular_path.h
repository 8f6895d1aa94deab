// A path that exists but is no regular file, for tests of code that must refuse such
// paths without blocking on them: a named pipe where the file system has them, else
// (Windows) a folder.
#pragma once

#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace maxhost::test {

inline bool MakeSpecialFile(const std::string& path) {
#if defined(_WIN32)
  return std::filesystem::create_directory(path);
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

}  // namespace maxhost::test
