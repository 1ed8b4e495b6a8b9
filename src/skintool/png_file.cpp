#include "skintool/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace portico {

namespace {
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void Flush(png_structp) {}
// libpng says nothing itself: a failure shows as an empty result.
void Silent(png_structp, png_const_charp) {}
void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// The one function with setjmp: its locals are plain pointers and numbers,
// so a jump out of libpng leaves nothing undestroyed.
bool WriteRows(png_structp png, png_infop info, png_bytepp rows, png_uint_32 w, png_uint_32 h) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}
}  // namespace

std::vector<uint8_t> EncodePng(const TBitmap& pixels, const std::vector<uint8_t>& alpha) {
  const size_t w = size_t(pixels.Width()), h = size_t(pixels.Height());
  if (w == 0 || h == 0 || alpha.size() != w * h) return {};
  std::vector<uint8_t> rgba(w * h * 4);
  std::vector<png_bytep> rows(h);
  for (size_t y = 0; y < h; ++y) {
    rows[y] = rgba.data() + y * w * 4;
    const uint32_t* src = pixels.Row(int32_t(y));
    for (size_t x = 0; x < w; ++x) {
      uint8_t* p = rows[y] + x * 4;
      p[0] = uint8_t(src[x] >> 16), p[1] = uint8_t(src[x] >> 8), p[2] = uint8_t(src[x]);
      p[3] = alpha[y * w + x];
    }
  }
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Silent);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  bool ok = info != nullptr;
  if (ok) {
    png_set_write_fn(png, &out, AppendBytes, Flush);
    ok = WriteRows(png, info, rows.data(), png_uint_32(w), png_uint_32(h));
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (!ok) out.clear();
  return out;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& why) {
  // A path made from UTF-8: Windows opens it by its wide name.
  std::ofstream file(std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary | std::ios::trunc);
  if (file) file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (file) file.close();
  if (!file) why = std::strerror(errno);
  return bool(file);
}

}  // namespace portico
