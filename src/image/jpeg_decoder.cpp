// JPEG decoding through the libjpeg API. libjpeg reports fatal errors by
// calling error_exit, which must not return; we longjmp back to one small
// function (RunGuarded) and turn the library's message into EImageError
// only after every libjpeg frame has been left.
#include "image/jpeg_decoder.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include "system/errors.h"

// jpeglib.h needs size_t and FILE declared before it is included.
#include <jpeglib.h>
// After jpeglib.h: its configuration decides which messages jerror.h lists.
#include <jerror.h>

namespace portico {
namespace {

// libjpeg's own buffers (progressive coefficients, strip buffers) are kept
// below this; a larger need fails instead of allocating without bound.
constexpr long MaxLibraryMemory = 512L * 1024 * 1024;
// Real progressive files have about ten scans; crafted ones can have
// thousands, each a full pass over the image.
constexpr int MaxScans = 500;

// The error manager with room for the jump target and the final message.
struct TJpegErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// Everything one decode touches, all trivially destructible so that a
// longjmp out of libjpeg skips no destructor.
struct TJpegSession {
  jpeg_decompress_struct cinfo;
  TJpegErrors errors;
  jpeg_progress_mgr progress;
  const unsigned char* data;
  unsigned long size;
  uint32_t* pixels;  // the bitmap's rows, output_width words each
  bool created;
  bool keep_profile;  // saves APP2 segments, where ICC profiles travel
};

// libjpeg's fatal-error hook: keeps the message and jumps back to RunGuarded.
void OnError(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
  cinfo->err->format_message(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// libjpeg's message printer: silenced, the library never writes to stderr.
void OnOutputMessage(j_common_ptr) {}

// Whether the warning libjpeg just raised means the picture comes out
// damaged: the data ran out, or part of it could not be decoded as coded
// and libjpeg filled it in. Garbled scan data mostly decodes to garbage
// that ends early, which libjpeg only notices as bytes left over before
// the next marker; stray bytes among the header segments harm nothing.
// The other warnings (an unknown JFIF revision or Adobe transform, odd
// scan parameters of a sequential file) leave every pixel as coded.
bool DamagesThePicture(j_common_ptr cinfo) {
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:           // the file ends early
    case JWRN_HIT_MARKER:         // a scan's data ends early
    case JWRN_HUFF_BAD_CODE:      // undecodable data
#if JPEG_LIB_VERSION >= 70 || defined(C_ARITH_CODING_SUPPORTED) || defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
    case JWRN_MUST_RESYNC:        // a restart marker is missing: blocks are lost
    case JWRN_BOGUS_PROGRESSION:  // a refinement scan without what it refines
      return true;
    case JWRN_EXTRANEOUS_DATA:
      return cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > 0;
    default:
      return false;
  }
}

// libjpeg's warning and trace hook: a warning that damages the picture
// fails the decode like an error (a cut-off file would otherwise show grey
// blocks); other warnings are counted; trace messages are dropped.
void OnEmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  if (DamagesThePicture(cinfo)) OnError(cinfo);
  cinfo->err->num_warnings++;
}

// Stops files with an absurd number of progressive scans.
void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > MaxScans) {
    auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
    std::snprintf(errors->message, sizeof errors->message, "too many progressive scans (over %d)",
                  MaxScans);
    std::longjmp(errors->jump, 1);
  }
}

// Runs one libjpeg step; false when libjpeg raised an error. The only
// place that calls setjmp.
bool RunGuarded(TJpegSession& s, void (*step)(TJpegSession&)) {
  if (setjmp(s.errors.jump) != 0) return false;
  step(s);
  return true;
}

// Creates the decompressor and reads the header up to the first scan.
void ReadHeaderStep(TJpegSession& s) {
  jpeg_create_decompress(&s.cinfo);
  s.created = true;
  s.cinfo.mem->max_memory_to_use = MaxLibraryMemory;
  s.cinfo.progress = &s.progress;
  jpeg_mem_src(&s.cinfo, s.data, s.size);
  if (s.keep_profile) jpeg_save_markers(&s.cinfo, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(&s.cinfo, TRUE);

  s.cinfo.dct_method = JDCT_ISLOW;
  // libjpeg converts YCCK to CMYK itself; CMYK to RGB is ours.
  bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
  s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_calc_output_dimensions(&s.cinfo);
}

// Converts one RGB scanline to pixel words.
void StoreRgbRow(const JSAMPLE* in, uint32_t* out, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, in += 3)
    out[x] = (uint32_t{in[0]} << 16) | (uint32_t{in[1]} << 8) | in[2];
}

// Converts one CMYK scanline to pixel words. Adobe applications write the
// four channels inverted (0 = full ink) and mark the file with their APP14
// marker; other writers store plain ink amounts.
void StoreCmykRow(const JSAMPLE* in, uint32_t* out, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4) {
    unsigned c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    // Now each value is the light left by that ink; multiply with rounding.
    uint32_t r = (c * k + 127) / 255, g = (m * k + 127) / 255, b = (y * k + 127) / 255;
    out[x] = (r << 16) | (g << 8) | b;
  }
}

// Decompresses every scanline into s.pixels.
void DecodeStep(TJpegSession& s) {
  jpeg_start_decompress(&s.cinfo);
  const JDIMENSION width = s.cinfo.output_width;
  const bool cmyk = s.cinfo.out_color_space == JCS_CMYK;
  const bool inverted = s.cinfo.saw_Adobe_marker != 0;
  // Allocated in libjpeg's image pool: freed by jpeg_destroy even after a jump.
  JSAMPARRAY row = s.cinfo.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&s.cinfo), JPOOL_IMAGE,
                                             width * JDIMENSION(s.cinfo.output_components), 1);
  while (s.cinfo.output_scanline < s.cinfo.output_height) {
    uint32_t* out = s.pixels + size_t{s.cinfo.output_scanline} * width;
    if (jpeg_read_scanlines(&s.cinfo, row, 1) != 1) break;
    if (cmyk)
      StoreCmykRow(row[0], out, width, inverted);
    else
      StoreRgbRow(row[0], out, width);
  }
  jpeg_finish_decompress(&s.cinfo);
}

// Bytes of entropy-coded data after the first scan header, not counting
// a final EOI marker: zero means the file holds no image data.
size_t ScanBytesLeft(const jpeg_decompress_struct& cinfo) {
  size_t left = cinfo.src->bytes_in_buffer;
  const JOCTET* p = cinfo.src->next_input_byte;
  if (left >= 2 && p[left - 2] == 0xFF && p[left - 1] == JPEG_EOI) left -= 2;
  return left;
}

// Releases libjpeg's state however the decode ends.
struct TSessionCleanup {
  TJpegSession& s;
  ~TSessionCleanup() {
    if (s.created) jpeg_destroy_decompress(&s.cinfo);
  }
};

// A session over `data` with our error hooks, nothing read yet.
void StartSession(TJpegSession& s, std::span<const uint8_t> data) {
  std::memset(&s, 0, sizeof s);
  s.cinfo.err = jpeg_std_error(&s.errors.pub);
  s.errors.pub.error_exit = OnError;
  s.errors.pub.output_message = OnOutputMessage;
  s.errors.pub.emit_message = OnEmitMessage;
  s.progress.progress_monitor = OnProgress;
  s.data = data.data();
  s.size = static_cast<unsigned long>(data.size());
}

}  // namespace

TBitmap DecodeJpeg(std::span<const uint8_t> data, const std::string& name) {
  TJpegSession s;
  StartSession(s, data);
  if (data.size() != s.size) throw EImageError(name, "file too large");
  TSessionCleanup cleanup{s};

  if (!RunGuarded(s, ReadHeaderStep)) throw EImageError(name, s.errors.message);
  if (ScanBytesLeft(s.cinfo) == 0) throw EImageError(name, "no image data");

  const int64_t width = s.cinfo.output_width, height = s.cinfo.output_height;
  if (width <= 0 || height <= 0 || width > TBitmap::MaxSide || height > TBitmap::MaxSide ||
      width * height > TBitmap::MaxPixels)
    throw EImageError(name, "image size " + std::to_string(width) + "x" + std::to_string(height) +
                                " is too large");

  TBitmap bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
  s.pixels = bitmap.Data();
  if (!RunGuarded(s, DecodeStep)) throw EImageError(name, s.errors.message);
  return bitmap;
}

TJpegColour ReadJpegColour(std::span<const uint8_t> data) {
  TJpegSession s;
  StartSession(s, data);
  TJpegColour colour;
  if (data.size() != s.size) return colour;
  s.keep_profile = true;
  TSessionCleanup cleanup{s};
  if (!RunGuarded(s, ReadHeaderStep)) return colour;
  colour.Ycck = s.cinfo.jpeg_color_space == JCS_YCCK;
  colour.Cmyk = colour.Ycck || s.cinfo.jpeg_color_space == JCS_CMYK;
  static constexpr char IccName[] = "ICC_PROFILE";  // with its NUL
  for (jpeg_saved_marker_ptr m = s.cinfo.marker_list; m; m = m->next)
    if (m->marker == JPEG_APP0 + 2 && m->data_length >= sizeof IccName &&
        std::memcmp(m->data, IccName, sizeof IccName) == 0)
      colour.HasIccProfile = true;
  return colour;
}

}  // namespace portico
