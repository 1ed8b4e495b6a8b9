// The parts of file handling that need no system call.
#include "system/files.h"

#include <algorithm>
#include <utility>

namespace portico {

bool IsRootedName(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '/' || name[0] == '\\') return true;
  const char c = name[0];
  return name.size() >= 2 && name[1] == ':' && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

std::string ExtractFileExt(const std::string& path) {
  size_t dot = path.find_last_of(".\\/:");
  if (dot == std::string::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

TMappedFile::TMappedFile(TMappedFile&& other) noexcept { *this = std::move(other); }

TMappedFile& TMappedFile::operator=(TMappedFile&& other) noexcept {
  if (this == &other) return *this;
  Release();
  data_ = std::exchange(other.data_, nullptr);
  size_ = std::exchange(other.size_, 0);
  file_ = std::exchange(other.file_, -1);
  held_ = std::exchange(other.held_, false);
  return *this;
}

TMappedFile::~TMappedFile() { Release(); }

TMappedFile TMappedFile::Map(const std::string& path, size_t max_bytes) {
  TMappedFile file;
  if (!file.Open(path, max_bytes)) file.Release();
  return file;
}

TFileBytes ReadOpenedFile(uint64_t size, size_t max_bytes, TOverLimit over_limit,
                          const TReadSome& read_some) {
  TFileBytes result;
  if (size > max_bytes && over_limit == TOverLimit::Refuse) {
    result.Status = TReadStatus::TooLarge;
    result.Error = std::to_string(size) + " bytes";
    return result;
  }
  std::vector<uint8_t>& bytes = result.Bytes;
  // Room for the file and one step of growth: reading to the end then
  // never moves the bytes to a buffer twice the size.
  bytes.reserve(size_t(std::min<uint64_t>(size + 4096, max_bytes)));
  bytes.resize(size_t(std::min<uint64_t>(size, max_bytes)));
  size_t got = 0;
  // Read until the limit or the end, whichever comes first: the file may
  // change size while we read it.
  for (;;) {
    if (got == bytes.size()) {
      if (bytes.size() >= max_bytes) break;
      bytes.resize(std::min(bytes.size() + 4096, max_bytes));
    }
    const int64_t n = read_some(bytes.data() + got, bytes.size() - got, result.Error);
    if (n < 0) {
      result.Status = TReadStatus::ReadError;
      result.Bytes.clear();
      return result;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  bytes.resize(got);
  if (got == max_bytes) {
    // One more byte tells whether the file goes on past the limit.
    uint8_t extra = 0;
    std::string ignored;
    result.Truncated = read_some(&extra, 1, ignored) > 0;
    if (result.Truncated && over_limit == TOverLimit::Refuse) {
      result.Status = TReadStatus::TooLarge;
      result.Error = "more than " + std::to_string(max_bytes) + " bytes";
      result.Bytes.clear();
      return result;
    }
  }
  result.Status = TReadStatus::Ok;
  return result;
}

}  // namespace portico
