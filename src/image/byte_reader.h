// Bounded little-endian reader over a file's bytes that fails at the end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "system/errors.h"

namespace portico {

class ByteReader {
 public:
  // `name` is the file named in the errors.
  ByteReader(std::span<const uint8_t> data, const std::string& name) : data_(data), name_(name) {}

  // Where the next read starts, as an offset from the first byte.
  size_t Position() const { return pos_; }
  size_t Size() const { return data_.size(); }
  size_t Remaining() const { return data_.size() - pos_; }

  // Moves to an absolute offset; fails past the end (the end itself is fine).
  void Seek(uint64_t offset) {
    if (offset > data_.size()) Fail("offset " + std::to_string(offset) + " past the end");
    pos_ = size_t(offset);
  }

  // Skips `count` bytes; fails when fewer remain.
  void Skip(uint64_t count) {
    Need(count);
    pos_ += size_t(count);
  }

  // Reads one byte, or a little-endian 16- or 32-bit value.
  uint8_t U8() {
    Need(1);
    return data_[pos_++];
  }
  uint16_t U16() {
    Need(2);
    uint16_t v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  uint32_t U32() {
    Need(4);
    uint32_t v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                 uint32_t(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return v;
  }
  int32_t I32() { return int32_t(U32()); }

  // Returns the next `count` bytes and moves past them.
  std::span<const uint8_t> Bytes(uint64_t count) {
    Need(count);
    std::span<const uint8_t> out = data_.subspan(pos_, size_t(count));
    pos_ += size_t(count);
    return out;
  }

  // Throws EImageError naming the file.
  [[noreturn]] void Fail(const std::string& reason) const { throw EImageError(name_, reason); }

 private:
  // Fails unless `count` more bytes are there.
  void Need(uint64_t count) const {
    if (count > Remaining()) Fail("truncated file");
  }

  std::span<const uint8_t> data_;
  std::string name_;
  size_t pos_ = 0;
};

}  // namespace portico
