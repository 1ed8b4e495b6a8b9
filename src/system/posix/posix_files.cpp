// Files on POSIX systems. Skins are written on Windows, where names use
// backslashes and ignore case; here both have to be mapped onto the real
// file system.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string_view>
#include <vector>

#include "system/ascii.h"
#include "system/files.h"

namespace portico {
namespace {

// True when something (of any type) exists under this name.
bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name matches `name` without regard to case;
// the first in sorted order when several do, empty when none does.
std::string FindEntryIgnoringCase(const std::string& folder, std::string_view name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::vector<std::string> matches;
  while (dirent* entry = readdir(dir)) {
    if (SameIgnoringAsciiCase(entry->d_name, name)) matches.emplace_back(entry->d_name);
  }
  closedir(dir);
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

// Splits a '/'-separated path into its components, leaving out empty
// ones and ".", which name the folder itself.
std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(pos, end - pos);
    if (!part.empty() && part != ".") parts.push_back(std::move(part));
    pos = end + 1;
  }
  return parts;
}

// Joins components with '/'; "." when nothing is left of a relative path.
std::string JoinComponents(const std::vector<std::string>& parts, bool absolute) {
  std::string path;
  if (absolute) path.push_back('/');
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) path.push_back('/');
    path.append(parts[i]);
  }
  if (path.empty()) path.push_back('.');
  return path;
}

}  // namespace

bool FileExists(const std::string& path) {
  // stat, not open: opening a FIFO would wait for a writer.
  struct stat st;
  return stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<TFileIdentity> QueryFileIdentity(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  // Nanoseconds: only compared, so a wrap far in the future does no harm.
  const uint64_t modified = uint64_t(st.st_mtim.tv_sec) * 1000000000u + uint64_t(st.st_mtim.tv_nsec);
  return TFileIdentity{uint64_t(st.st_dev), uint64_t(st.st_ino), uint64_t(st.st_size), modified};
}

std::string ResolvePath(const std::string& path) {
  if (path.empty()) return path;
  std::string slashed = path;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');

  const bool absolute = slashed[0] == '/';
  const bool trailing_slash = slashed.size() > 1 && slashed.back() == '/';
  std::vector<std::string> parts = SplitComponents(slashed);
  std::string converted = JoinComponents(parts, absolute);
  if (trailing_slash && converted.back() != '/') converted.push_back('/');
  if (PathExists(converted)) return converted;

  // Walk down, taking each component as it is where it exists and a
  // case-insensitive match from its folder where it does not.
  std::string resolved = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string candidate = resolved + parts[i];
    if (!PathExists(candidate)) {
      std::string match = FindEntryIgnoringCase(resolved, parts[i]);
      if (match.empty()) return converted;
      candidate = resolved + match;
    }
    resolved = candidate;
    if (i + 1 < parts.size()) resolved += '/';
  }
  if (trailing_slash) resolved += '/';
  return resolved;
}

namespace {
// Closes a descriptor when it goes out of scope.
class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};
}  // namespace

TFileBytes ReadRegularFile(const std::string& path, size_t max_bytes, TOverLimit over_limit) {
  TFileBytes result;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.Get() < 0) {
    result.Error = std::strerror(errno);
    return result;
  }
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0) {
    result.Status = TReadStatus::ReadError;
    result.Error = std::strerror(errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.Status = TReadStatus::NotRegular;
    result.Error = "not a regular file";
    return result;
  }
  const uint64_t size = st.st_size > 0 ? uint64_t(st.st_size) : 0;
  const auto read_some = [&fd](uint8_t* into, size_t want, std::string& error) {
    ssize_t n;
    while ((n = read(fd.Get(), into, want)) < 0 && errno == EINTR) {
    }
    if (n < 0) error = std::strerror(errno);
    return int64_t(n);
  };
  return ReadOpenedFile(size, max_bytes, over_limit, read_some);
}

namespace {
// File systems whose pages stay readable while mapped: local disks and
// memory. Over a network a page that cannot be fetched ends the process
// (SIGBUS) where a read would only fail.
bool IsLocalFileSystem(int fd) {
  struct statfs fs {};
  if (fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0xF2F52010:  // f2fs
    case 0x01021994:  // tmpfs
    case 0x794C7630:  // overlayfs
      return true;
    default:
      return false;
  }
}
}  // namespace

bool TMappedFile::Open(const std::string& path, size_t max_bytes) {
#if defined(F_SETLEASE) && defined(F_SETSIG)
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  file_ = fd;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !IsLocalFileSystem(fd)) return false;
  // A read lease makes whoever opens the file to write or truncates it
  // wait until we let go, so the mapped pages cannot vanish under the
  // decoder. The kernel tells the holder with a signal: SIGURG is ignored
  // unless handled, where the default SIGIO would end the process. The
  // lease is refused when someone has the file open for writing, for
  // another user's file, and where leases are off.
  if (fcntl(fd, F_SETSIG, SIGURG) != 0 || fcntl(fd, F_SETLEASE, F_RDLCK) != 0) return false;
  held_ = true;
  // What is mapped is the file as the lease found it.
  if (fstat(fd, &st) != 0 || st.st_size <= 0 || uint64_t(st.st_size) > max_bytes) return false;
  void* pages = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  if (pages == MAP_FAILED) return false;
  data_ = static_cast<const uint8_t*>(pages);
  size_ = size_t(st.st_size);
  return true;
#else
  (void)path;
  (void)max_bytes;
  return false;
#endif
}

void TMappedFile::Release() {
  if (data_) munmap(const_cast<uint8_t*>(data_), size_);
#if defined(F_SETLEASE)
  if (held_) fcntl(int(file_), F_SETLEASE, F_UNLCK);
#endif
  if (file_ >= 0) close(int(file_));
  data_ = nullptr;
  size_ = 0;
  file_ = -1;
  held_ = false;
}

}  // namespace portico
