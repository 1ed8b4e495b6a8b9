#include "platform/image/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/image/bmp_decoder.h"
#include "platform/image/jpeg_decoder.h"
#include "platform/image_error.h"

namespace portico {
namespace {

// Larger than any image we would decode: the biggest bitmap at 32 bits per
// pixel plus room for headers and palettes.
constexpr uint64_t kMaxImageFileBytes = uint64_t(TBitmap::MaxPixels) * 4 + 64 * 1024 * 1024;

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::vector<uint8_t> ReadImageFileBytes(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) throw EImageError(path, std::string("cannot open: ") + std::strerror(errno));
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0) throw EImageError(path, std::string("cannot read: ") + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw EImageError(path, "not a regular file");
  if (st.st_size < 0 || uint64_t(st.st_size) > kMaxImageFileBytes)
    throw EImageError(path, "file too large for an image: " + std::to_string(st.st_size) + " bytes");

  std::vector<uint8_t> bytes(size_t(st.st_size));
  size_t done = 0;
  // The file may shrink while we read; keep what is there.
  while (done < bytes.size()) {
    const ssize_t n = read(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EImageError(path, std::string("cannot read: ") + std::strerror(errno));
    if (n == 0) break;
    done += size_t(n);
  }
  bytes.resize(done);
  return bytes;
}

TBitmap DecodeImage(const std::vector<uint8_t>& data, const std::string& path) {
  // The content decides, not the name: skins ship BMPs named .jpg and the reverse.
  if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
    return DecodeJpeg(data, path);
  if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data, path);
  throw EImageError(path, "not a BMP or JPEG image");
}

}  // namespace portico
