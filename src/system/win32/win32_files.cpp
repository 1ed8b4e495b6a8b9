// Files on Windows: UTF-8 names opened through the wide APIs, whole files
// read in binary, and only regular disk files, never devices such as NUL
// or CON (which exist under those names in every folder).
#include "system/win32/win32_windows.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "system/files.h"
#include "system/win32/win32_text.h"

namespace portico {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the part of the path that says where it starts: "//server/share/"
// (UNC), "C:/" or "C:" (a drive), "/" (the current drive's root); 0 for a
// path relative to the working folder. Separators of either kind.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // Server and share names, each followed by a separator.
    size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
      while (end < path.size() && !IsSeparator(path[end])) ++end;
      if (end < path.size()) ++end;
    }
    return end;
  }
  if (!path.empty() && IsSeparator(path[0])) return 1;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
    return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  return 0;
}

// The wide name to hand to the system, or empty when the name can name no
// file: a ':' anywhere but after a leading drive letter would open an
// alternate data stream, or (in ".\C:\x", a skin folder joined with a
// drive path) let a relative name leave the skin folder.
std::wstring SystemName(const std::string& path) {
  if (path.empty()) return {};
  const size_t colon = path.find(':', RootLength(path) >= 2 && path[1] == ':' ? 2 : 0);
  if (colon != std::string::npos) return {};
  std::wstring wide = Utf8ToWide(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

// Closes a handle when it goes out of scope.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE h) : h_(h) {}
  ~TFileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

// Opens a file for reading (access 0: only to ask what it is). Others may
// go on reading, writing or deleting it meanwhile.
HANDLE OpenExisting(const std::wstring& name, DWORD access) {
  return CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Whether an open handle is a regular file on a disk: not a device
// (NUL, CON, COM1...), a pipe or a folder.
bool IsRegularFile(HANDLE h) {
  if (GetFileType(h) != FILE_TYPE_DISK) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(h, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool FileExists(const std::string& path) {
  const std::wstring name = SystemName(ResolvePath(path));
  if (name.empty()) return false;
  // A folder cannot be opened without backup semantics: ask for its
  // attributes first.
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  TFileHandle h(OpenExisting(name, 0));
  return h.Valid() && IsRegularFile(h.Get());
}

std::optional<TFileIdentity> QueryFileIdentity(const std::string& path) {
  const std::wstring name = SystemName(path);
  if (name.empty()) return std::nullopt;
  // Opened only to ask (access 0): a folder cannot be, which is as wanted.
  TFileHandle h(OpenExisting(name, 0));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h.Valid() || GetFileType(h.Get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(h.Get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  auto join = [](DWORD high, DWORD low) { return uint64_t{high} << 32 | low; };
  return TFileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                       join(info.nFileSizeHigh, info.nFileSizeLow),
                       join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
}

std::string ResolvePath(const std::string& path) {
  if (path.empty()) return path;
  // The file system ignores letter case itself; only the separators and
  // the "." components (".\" is the skin folder) are tidied up.
  const size_t root_length = RootLength(path);
  std::string root = path.substr(0, root_length);
  std::replace(root.begin(), root.end(), '\\', '/');
  std::vector<std::string> parts;
  bool has_colon = false;
  for (size_t pos = root_length; pos <= path.size();) {
    size_t end = path.find_first_of("/\\", pos);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(pos, end - pos);
    if (!part.empty() && part != ".") {
      has_colon = has_colon || part.find(':') != std::string::npos;
      parts.push_back(std::move(part));
    }
    pos = end + 1;
  }
  // A relative name keeps its leading "./" when a part holds a colon, so
  // that ".\C:\x" never turns into the drive path "C:/x".
  std::string resolved = root.empty() && has_colon ? std::string("./") : root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) resolved.push_back('/');
    resolved.append(parts[i]);
  }
  if (resolved.empty()) resolved.push_back('.');
  if (IsSeparator(path.back()) && resolved.back() != '/') resolved.push_back('/');
  return resolved;
}

TFileBytes ReadRegularFile(const std::string& path, size_t max_bytes, TOverLimit over_limit) {
  TFileBytes result;
  const std::wstring name = SystemName(path);
  if (name.empty()) {
    result.Error = "not a valid file name";
    return result;
  }
  TFileHandle h(OpenExisting(name, GENERIC_READ));
  if (!h.Valid()) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      result.Status = TReadStatus::NotRegular;
      result.Error = "not a regular file";
    } else {
      result.Error = SystemErrorText(error);
    }
    return result;
  }
  if (!IsRegularFile(h.Get())) {
    result.Status = TReadStatus::NotRegular;
    result.Error = "not a regular file";
    return result;
  }
  LARGE_INTEGER file_size{};
  if (!GetFileSizeEx(h.Get(), &file_size)) {
    result.Status = TReadStatus::ReadError;
    result.Error = SystemErrorText(GetLastError());
    return result;
  }
  const uint64_t size = file_size.QuadPart > 0 ? uint64_t(file_size.QuadPart) : 0;
  const auto read_some = [&h](uint8_t* into, size_t want, std::string& error) {
    DWORD n = 0;
    if (!ReadFile(h.Get(), into, DWORD(std::min<size_t>(want, 1u << 30)), &n, nullptr)) {
      error = SystemErrorText(GetLastError());
      return int64_t{-1};
    }
    return int64_t{n};
  };
  return ReadOpenedFile(size, max_bytes, over_limit, read_some);
}

// Files are always read here. A mapped file whose pages cannot be fetched
// (a share that went away) raises an exception on access, where reading
// only fails; and keeping others from writing would change what an editor
// saving a skin meets.
bool TMappedFile::Open(const std::string&, size_t) { return false; }

void TMappedFile::Release() {
  data_ = nullptr;
  size_ = 0;
  file_ = -1;
  held_ = false;
}

}  // namespace portico
