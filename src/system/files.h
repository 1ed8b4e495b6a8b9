// Files of a skin: existence, extensions, names written on Windows, and
// reading whole files. Each platform implements what touches the system
// (posix/posix_files.cpp, win32/win32_files.cpp); names are UTF-8 inside.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace portico {

// True only for an existing regular file (after name resolution).
bool FileExists(const std::string& path);

// True when a name says where it starts instead of being relative to a
// folder: a leading slash or backslash (a root, or a UNC name such as
// \\server\share) or a drive letter ("C:\x", "C:x"). The description
// file must be given relative to the skin folder, on every system alike.
bool IsRootedName(const std::string& name);

// The text from the last "." after the last path separator ("\\", "/" or
// ":"), dot included; empty when the file name has no dot.
std::string ExtractFileExt(const std::string& path);
// The name part of a path, after the last "/" or "\\".
std::string FileNameOf(const std::string& path);

// What tells one version of a file from another: the file itself (its
// device or volume and its number there), its size and its last write
// time, in the system's own units. A file saved again or replaced by
// another gives a different identity, unless a save of the same size
// lands within the same tick of the file system's clock.
struct TFileIdentity {
  uint64_t Device = 0;
  uint64_t Index = 0;
  uint64_t Size = 0;
  uint64_t Modified = 0;
  friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

// The identity of the regular file under this name (used as given:
// resolve it first); none for anything else or when the system cannot say.
std::optional<TFileIdentity> QueryFileIdentity(const std::string& path);

// Turns a skin path into one this system can open: backslashes and
// slashes both separate folders, and where the file system tells letter
// case apart, a path component that does not exist exactly is matched
// without regard to case in its folder. Returns the path unchanged (with
// separators converted) when nothing matches.
std::string ResolvePath(const std::string& path);

// What reading a file gave.
enum class TReadStatus {
  Ok,          // the whole file, or its first max_bytes when Truncated
  Missing,     // cannot be opened
  NotRegular,  // a folder, FIFO, device...: never read, so never blocks
  ReadError,   // opened but reading failed
  TooLarge,    // larger than max_bytes, and the caller wants all or nothing
};

// What to do with a file larger than the limit.
enum class TOverLimit { Cut, Refuse };

struct TFileBytes {
  TReadStatus Status = TReadStatus::Missing;
  std::vector<uint8_t> Bytes;
  bool Truncated = false;  // Cut: the file holds more than was read
  std::string Error;       // the system's reason when not Ok
};

// Reads a regular file in binary: at most its first max_bytes (Cut), or
// nothing when it is larger (Refuse, decided before anything is read).
// The name is used as given (resolve it first). A file that grows or
// shrinks while it is read gives what was there.
TFileBytes ReadRegularFile(const std::string& path, size_t max_bytes, TOverLimit over_limit);

// A regular file's own pages, mapped read-only while the system keeps
// every other program from changing the file (on Linux a read lease: a
// program that tries waits until it is let go). Nothing is copied, where
// reading would copy every byte. Map() gives an empty one when that cannot
// be had (no lease for this user or file system, someone has the file
// open for writing, an empty or larger file, and always on Windows); the
// caller then reads the file instead.
class TMappedFile {
 public:
  static TMappedFile Map(const std::string& path, size_t max_bytes);
  TMappedFile() = default;
  ~TMappedFile();
  TMappedFile(TMappedFile&& other) noexcept;
  TMappedFile& operator=(TMappedFile&& other) noexcept;
  TMappedFile(const TMappedFile&) = delete;
  TMappedFile& operator=(const TMappedFile&) = delete;

  bool Mapped() const { return data_ != nullptr; }
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }

 private:
  bool Open(const std::string& path, size_t max_bytes);
  void Release();
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  intptr_t file_ = -1;  // the system's handle of the open file
  bool held_ = false;   // others are kept from changing it
};

// Reads into `into` up to `want` bytes of an opened file: how many it
// read, 0 at the end, or -1 with the system's reason in `error`.
using TReadSome = std::function<int64_t(uint8_t* into, size_t want, std::string& error)>;

// The reading half of ReadRegularFile, the same on every system, for a
// regular file already opened whose size the system gave as `size`.
TFileBytes ReadOpenedFile(uint64_t size, size_t max_bytes, TOverLimit over_limit,
                          const TReadSome& read_some);

}  // namespace portico
