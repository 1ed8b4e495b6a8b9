// The platform's exception class and its image-decoding error.
#pragma once
#include <stdexcept>
#include <string>

namespace portico {

// Base of every error the platform layer raises on purpose; the
// application's exception display shows its message.
class EPlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file exists but holds no image we can decode. The message names the
// file and the reason.
class EImageError : public EPlatformError {
 public:
  EImageError(const std::string& file, const std::string& reason)
      : EPlatformError(file + ": " + reason), file_(file), reason_(reason) {}
  const std::string& File() const { return file_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string file_;
  std::string reason_;
};

// An operating-system call failed (for example the pointer position
// could not be read).
class EOSError : public EPlatformError {
 public:
  using EPlatformError::EPlatformError;
};

}  // namespace portico
