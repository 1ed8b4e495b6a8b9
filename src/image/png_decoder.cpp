// PNG decoding through libpng. libpng reports errors by calling the error
// hook, which must not return; we jump back to one small function
// (RunGuarded) and turn the library's message into EImageError only after
// every libpng frame has been left, as the JPEG decoder does.
#include "image/png_decoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "system/errors.h"

namespace portico {
namespace {

// Ancillary chunks libpng keeps in memory (text, profiles) are refused
// beyond this: an image never needs them, a crafted file could inflate them.
constexpr png_alloc_size_t MaxChunkBytes = 8 * 1024 * 1024;
// The most bytes deflate can make of one byte of its stream, with room.
constexpr uint64_t MaxDeflateRatio = 1100;

// Everything one decode touches, all trivially destructible so that a
// longjmp out of libpng skips no destructor.
struct TPngSession {
  png_structp png;
  png_infop info;
  const uint8_t* data;
  size_t size;
  size_t offset;
  uint32_t* pixels;  // the bitmap's rows, width words each, filled as RGBA bytes
  png_uint_32 width, height;
  int color_type;
  int depth;     // bits per sample in the file
  int channels;  // samples per pixel in the file
  char message[160];
};

// libpng's error hook: keeps the message and jumps back to RunGuarded.
void OnError(png_structp png, png_const_charp message) {
  auto* s = static_cast<TPngSession*>(png_get_error_ptr(png));
  std::snprintf(s->message, sizeof s->message, "%s", message ? message : "damaged PNG data");
  png_longjmp(png, 1);
}

// Warnings (a bad CRC on an ancillary chunk, which libpng then skips, an
// odd profile) leave the pixels as coded: the library never writes to stderr.
void OnWarning(png_structp, png_const_charp) {}

// libpng's reader over the file's bytes: a request past the end is the
// cut-off file's error.
void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* s = static_cast<TPngSession*>(png_get_io_ptr(png));
  if (length > s->size - s->offset) png_error(png, "the file ends early");
  std::memcpy(out, s->data + s->offset, length);
  s->offset += length;
}

// Runs one libpng step; false when libpng raised an error. The only
// place that calls setjmp.
bool RunGuarded(TPngSession& s, void (*step)(TPngSession&)) {
  if (setjmp(png_jmpbuf(s.png)) != 0) return false;
  step(s);
  return true;
}

// Reads the chunks up to the image data and asks for 8-bit RGBA rows
// whatever the file's own format.
void ReadHeaderStep(TPngSession& s) {
  png_set_read_fn(s.png, &s, ReadBytes);
  // IHDR sizes beyond ours fail in png_read_info, before any row exists.
  png_set_user_limits(s.png, TBitmap::MaxSide, TBitmap::MaxSide);
  png_set_chunk_malloc_max(s.png, MaxChunkBytes);
#if defined(PNG_IGNORE_ADLER32) && defined(PNG_SET_OPTION_SUPPORTED)
  // Each chunk's CRC already covers every byte of the compressed rows, so
  // damage shows without zlib's second checksum over the inflated ones.
  png_set_option(s.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#ifdef PNG_HANDLE_AS_UNKNOWN_SUPPORTED
  // Only IHDR, PLTE, tRNS, IDAT and IEND say anything about the pixels we
  // show; libpng skips the others unread.
  png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
#endif
  png_read_info(s.png, s.info);
  int interlace = 0;
  png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.depth, &s.color_type, &interlace, nullptr, nullptr);
  s.channels = png_get_channels(s.png, s.info);
  const int depth = s.depth;

  if (depth == 16) png_set_scale_16(s.png);
  if (s.color_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(s.png);
  if (s.color_type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(s.png);
  if (png_get_valid(s.png, s.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(s.png);
  if (!(s.color_type & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(s.png);
  // Without alpha in the file every pixel is opaque.
  png_set_filler(s.png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(s.png);
  png_read_update_info(s.png, s.info);
  if (png_get_rowbytes(s.png, s.info) != size_t{s.width} * 4) png_error(s.png, "unexpected row format");
}

// Reads every pass of every row into the bitmap's words, then the chunks
// after the image data (a file cut off there is damaged too).
void DecodeStep(TPngSession& s) {
  const int passes = png_set_interlace_handling(s.png);
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < s.height; ++y)
      png_read_row(s.png, reinterpret_cast<png_bytep>(s.pixels + size_t{y} * s.width), nullptr);
  png_read_end(s.png, nullptr);
}

// Releases libpng's state however the decode ends.
struct TSessionCleanup {
  TPngSession& s;
  ~TSessionCleanup() { png_destroy_read_struct(&s.png, s.info ? &s.info : nullptr, nullptr); }
};

// Turns the RGBA bytes of each word into 0x00RRGGBB. With `alpha`, the
// opacity is kept from the first pixel that is not opaque on (all before
// it were): an image without transparency allocates nothing for it.
void ToPixelWords(uint32_t* pixels, int32_t width, int32_t height, TAlphaMap* alpha) {
  const size_t count = size_t(width) * size_t(height);
  std::vector<uint8_t> values;
  for (size_t i = 0; i < count; ++i) {
    const auto* b = reinterpret_cast<const uint8_t*>(pixels + i);
    const uint8_t a = b[3];
    if (alpha && a != 0xFF && values.empty()) values.assign(count, 0xFF);
    if (!values.empty()) values[i] = a;
    pixels[i] = uint32_t{b[0]} << 16 | uint32_t{b[1]} << 8 | b[2];
  }
  if (!values.empty()) *alpha = TAlphaMap{width, height, std::move(values)};
}

}  // namespace

TBitmap DecodePng(std::span<const uint8_t> data, const std::string& name, TAlphaMap* alpha) {
  TPngSession s;
  std::memset(&s, 0, sizeof s);
  s.data = data.data();
  s.size = data.size();
  s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
  if (!s.png) throw EImageError(name, "out of memory for the PNG reader");
  TSessionCleanup cleanup{s};
  s.info = png_create_info_struct(s.png);
  if (!s.info) throw EImageError(name, "out of memory for the PNG reader");

  if (!RunGuarded(s, ReadHeaderStep)) throw EImageError(name, s.message);
  const int64_t width = s.width, height = s.height;
  if (width <= 0 || height <= 0 || width > TBitmap::MaxSide || height > TBitmap::MaxSide ||
      width * height > TBitmap::MaxPixels)
    throw EImageError(name, "image size " + std::to_string(width) + "x" + std::to_string(height) +
                                " is too large");

  // Deflate packs at most about 1032 bytes into one: a file too short to
  // hold the rows its header claims is refused before they are allocated.
  const uint64_t row_bytes = (uint64_t(width) * s.channels * s.depth + 7) / 8 + 1;
  if (uint64_t(height) * row_bytes > (uint64_t(s.size - s.offset) + 64) * MaxDeflateRatio)
    throw EImageError(name, "the file is too short for a " + std::to_string(width) + "x" +
                                std::to_string(height) + " image");

  TBitmap bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
  s.pixels = bitmap.Data();
  if (!RunGuarded(s, DecodeStep)) throw EImageError(name, s.message);
  // Only a file with an alpha channel or tRNS can hold anything but opaque pixels.
  const bool may_be_translucent =
      (s.color_type & PNG_COLOR_MASK_ALPHA) || png_get_valid(s.png, s.info, PNG_INFO_tRNS);
  ToPixelWords(s.pixels, bitmap.Width(), bitmap.Height(), may_be_translucent ? alpha : nullptr);
  return bitmap;
}

}  // namespace portico
