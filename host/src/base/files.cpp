#include "base/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#include "base/text.h"

namespace maxhost {
namespace {

// Paths are UTF-8. On Windows the narrow calls would read them in the ANSI code page, so the
// wide ones are called there.
std::FILE* OpenFile(const std::string& path, const char* mode) {
#if defined(_WIN32)
  return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

#if defined(_WIN32)
using FileInfo = struct _stat64;
int StatFile(const std::string& path, FileInfo& info) {
  // The wide stat refuses a folder named with a trailing separator; a drive's root keeps it.
  std::wstring wide = WideFromUtf8(path);
  while (wide.size() > 1 && (wide.back() == L'\\' || wide.back() == L'/') &&
         !(wide.size() == 3 && wide[1] == L':'))
    wide.pop_back();
  return _wstat64(wide.c_str(), &info);
}
#else
using FileInfo = struct stat;
int StatFile(const std::string& path, FileInfo& info) {
  return ::stat(path.c_str(), &info);
}
#endif

std::string Reason(const std::string& path, const char* what) {
  return "'" + path + "' " + what + ": " + std::strerror(errno);
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

template <typename Buffer>
Status ReadInto(std::string_view function, const std::string& path, std::size_t maxBytes,
                Buffer& out) {
  out.clear();
  if (Status s = CheckRegularFile(function, path); !s) return s;
  FilePtr file(OpenFile(path, "rb"));
  if (!file)
    return Status::Failure(std::string(function) + ": " + Reason(path, "cannot be opened"));
  char chunk[65536];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (got == 0) break;
    if (out.size() + got > maxBytes)
      return Status::Failure(std::string(function) + ": '" + path + "' is larger than " +
                             std::to_string(maxBytes) + " bytes");
    out.insert(out.end(), chunk, chunk + got);
  }
  if (std::ferror(file.get()))
    return Status::Failure(std::string(function) + ": " + Reason(path, "cannot be read"));
  return Status::Success();
}

}  // namespace

std::filesystem::path PathFromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

Status CheckRegularFile(std::string_view function, const std::string& path) {
  FileInfo info{};
  if (StatFile(path, info) != 0)
    return Status::Failure(std::string(function) + ": " + Reason(path, "cannot be opened"));
  if (S_ISDIR(info.st_mode))
    return Status::Failure(std::string(function) + ": '" + path + "' is a folder, not a file");
  if (!S_ISREG(info.st_mode))
    return Status::Failure(std::string(function) + ": '" + path +
                           "' is not a regular file (a device, pipe or socket)");
  return Status::Success();
}

Status ReadRegularFile(std::string_view function, const std::string& path, std::size_t maxBytes,
                       std::vector<unsigned char>& out) {
  return ReadInto(function, path, maxBytes, out);
}

Status ReadRegularFile(std::string_view function, const std::string& path, std::size_t maxBytes,
                       std::string& out) {
  return ReadInto(function, path, maxBytes, out);
}

Status WriteWholeFile(std::string_view function, const std::string& path, const void* bytes,
                      std::size_t size) {
  std::FILE* file = OpenFile(path, "wb");
  if (!file)
    return Status::Failure(std::string(function) + ": " + Reason(path, "cannot be created"));
  const std::size_t wrote = size ? std::fwrite(bytes, 1, size, file) : 0;
  const bool flushed = std::fflush(file) == 0;
  const int saved = errno;
  const bool closed = std::fclose(file) == 0;
  if (wrote != size || !flushed || !closed) {
    errno = saved ? saved : errno;
    return Status::Failure(std::string(function) + ": " +
                           Reason(path, "could not be written completely"));
  }
  return Status::Success();
}

}  // namespace maxhost
