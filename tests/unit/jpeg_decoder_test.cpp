// JPEG decoding: agreement with libjpeg-turbo's own djpeg, colour spaces,
// and bad input turning into EImageError without output or crashes.
#include "image/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "system/errors.h"

namespace portico {
namespace {

using TBytes = std::vector<uint8_t>;

TBytes ReadData(const std::string& name) {
  std::ifstream in(std::string(PORTICO_TEST_DATA) + "/jpeg/" + name, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

// A binary PPM (P6) or PGM (P5) as written by djpeg, as pixel words.
TBitmap ReadPnm(const std::string& name) {
  TBytes data = ReadData(name);
  std::string text(data.begin(), data.end());
  int width = 0, height = 0, maxval = 0, consumed = 0;
  char kind = 0;
  if (std::sscanf(text.c_str(), "P%c %d %d %d%n", &kind, &width, &height, &maxval, &consumed) != 4)
    return {};
  const int channels = kind == '6' ? 3 : 1;
  const size_t start = size_t(consumed) + 1;  // one whitespace byte after maxval
  if (data.size() < start + size_t(width) * height * channels) return {};
  TBitmap bitmap(width, height);
  const uint8_t* p = data.data() + start;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x, p += channels) {
      uint32_t r = p[0], g = p[channels == 3 ? 1 : 0], b = p[channels == 3 ? 2 : 0];
      bitmap.SetPixel(x, y, (r << 16) | (g << 8) | b);
    }
  return bitmap;
}

// Counts pixels that differ between two bitmaps of the same size.
int CountDifferences(const TBitmap& a, const TBitmap& b) {
  int differences = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) differences += a.Pixel(x, y) != b.Pixel(x, y);
  return differences;
}

// Offset of the first marker 0xFF `code` (a plain byte search is enough in
// the headers of these files).
size_t FindMarker(const TBytes& data, uint8_t code) {
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0xFF && data[i + 1] == code) return i;
  return data.size();
}

// The offset just past the first scan header (where the coded data starts).
size_t ScanDataStart(const TBytes& data) {
  size_t sos = FindMarker(data, 0xDA);
  return sos + 2 + ((size_t(data[sos + 2]) << 8) | data[sos + 3]);
}

// A copy of the file with the frame size in its SOF0 header replaced.
TBytes WithFrameSize(TBytes data, unsigned width, unsigned height) {
  size_t sof = FindMarker(data, 0xC0);
  data[sof + 5] = uint8_t(height >> 8);
  data[sof + 6] = uint8_t(height);
  data[sof + 7] = uint8_t(width >> 8);
  data[sof + 8] = uint8_t(width);
  return data;
}

TEST(JpegDecoder, MatchesDjpegWithIntegerDct) {
  for (std::string name : {"rgb420", "rgb444_progressive"}) {
    SCOPED_TRACE(name);
    TBitmap reference = ReadPnm(name + ".ppm");
    ASSERT_FALSE(reference.Empty());
    TBitmap decoded = DecodeJpeg(ReadData(name + ".jpg"), name);
    ASSERT_EQ(decoded.Width(), 48);
    ASSERT_EQ(decoded.Height(), 40);
    EXPECT_EQ(CountDifferences(decoded, reference), 0);
  }
}

TEST(JpegDecoder, GrayscaleComesOutAsEqualChannels) {
  TBitmap reference = ReadPnm("gray.pgm");
  ASSERT_FALSE(reference.Empty());
  TBitmap decoded = DecodeJpeg(ReadData("gray.jpg"), "gray.jpg");
  ASSERT_EQ(decoded.Width(), reference.Width());
  ASSERT_EQ(decoded.Height(), reference.Height());
  EXPECT_EQ(CountDifferences(decoded, reference), 0);
}

// CMYK to RGB pixel for pixel, on mid-tones where rounding shows: a file
// as Adobe applications write it (inverted YCCK) against libjpeg's own
// djpeg, and plain ink amounts without the Adobe marker against the
// reference computed from its inks.
TEST(JpegDecoder, CmykMidTonesMatchTheirReferencesExactly) {
  for (std::string name : {"cmyk_midtone_adobe", "cmyk_midtone_plain"}) {
    SCOPED_TRACE(name);
    const TBitmap reference = ReadPnm(name + ".ppm");
    ASSERT_FALSE(reference.Empty());
    const TBitmap decoded = DecodeJpeg(ReadData(name + ".jpg"), name);
    ASSERT_EQ(decoded.Width(), reference.Width());
    ASSERT_EQ(decoded.Height(), reference.Height());
    EXPECT_EQ(CountDifferences(decoded, reference), 0);
  }
}

// A file whose data is damaged is the image error with libjpeg's reason:
// cut off in a scan (with or without its end marker), or garbled so that a
// scan cannot be decoded, ends early or refines what never came.
TEST(JpegDecoder, DamagedDataIsRefused) {
  struct Case {
    const char* What;
    std::string File;
    size_t CutAt;    // keeps 1/CutAt of what follows the first scan header (0: all)
    bool EndMarker;  // FF D9 after the cut
    size_t Offset;   // a byte after the first scan header set to 0 (0: none)
    const char* Reason;
  };
  const Case cases[] = {
      {"cut in the scan", "rgb420.jpg", 3, false, 0, "Premature end of JPEG file"},
      {"cut in the scan, end marker kept", "rgb420.jpg", 3, true, 0, "premature end of data segment"},
      {"cut in a later scan", "rgb444_progressive.jpg", 2, false, 0, "Premature end of JPEG file"},
      {"undecodable scan data", "rgb420.jpg", 0, false, 267, "bad Huffman code"},
      {"scan data that ends early", "rgb420.jpg", 0, false, 21, "extraneous bytes"},
      {"refinement without its first pass", "rgb444_progressive.jpg", 0, false, 120,
       "Inconsistent progression"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    TBytes data = ReadData(c.File);
    const size_t start = ScanDataStart(data);
    if (c.CutAt) data.resize(start + (data.size() - start) / c.CutAt);
    if (c.EndMarker) data.insert(data.end(), {0xFF, 0xD9});
    if (c.Offset) data[start + c.Offset] = 0;
    try {
      DecodeJpeg(data, "skin/damaged.jpg");
      ADD_FAILURE() << "decoded";
    } catch (const EImageError& e) {
      EXPECT_EQ(e.File(), "skin/damaged.jpg");
      EXPECT_NE(e.Reason().find(c.Reason), std::string::npos) << e.Reason();
    }
  }
}

// Oddities that leave the picture as coded stay silent: stray bytes among
// the header segments, an application segment nobody knows.
TEST(JpegDecoder, HarmlessOdditiesDecodeAsUsual) {
  const TBytes original = ReadData("rgb420.jpg");
  const TBitmap reference = ReadPnm("rgb420.ppm");
  const size_t tables = FindMarker(original, 0xDB);
  TBytes stray = original;
  stray.insert(stray.begin() + std::ptrdiff_t(tables), {0x12, 0x34, 0x56});
  TBytes unknown_segment = original;
  unknown_segment.insert(unknown_segment.begin() + 2, {0xFF, 0xE9, 0x00, 0x06, 'P', 'o', 'r', 't'});
  for (const TBytes& data : {stray, unknown_segment}) {
    const TBitmap decoded = DecodeJpeg(data, "odd.jpg");
    ASSERT_EQ(decoded.Width(), reference.Width());
    EXPECT_EQ(CountDifferences(decoded, reference), 0);
  }
}

TEST(JpegDecoder, FilesWithoutImageDataAreRefused) {
  TBytes data = ReadData("rgb420.jpg");
  const size_t start = ScanDataStart(data);
  TBytes before_scan(data.begin(), data.begin() + FindMarker(data, 0xDA));
  TBytes scan_header_only(data.begin(), data.begin() + start);
  TBytes scan_header_and_eoi = scan_header_only;
  scan_header_and_eoi.insert(scan_header_and_eoi.end(), {0xFF, 0xD9});
  TBytes tables_then_eoi = before_scan;
  tables_then_eoi.insert(tables_then_eoi.end(), {0xFF, 0xD9});
  const TBytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  const TBytes soi_only = {0xFF, 0xD8};

  for (const TBytes& bad : {TBytes{}, soi_only, png, before_scan, scan_header_only,
                            scan_header_and_eoi, tables_then_eoi}) {
    SCOPED_TRACE(bad.size());
    try {
      DecodeJpeg(bad, "skin/bad.jpg");
      ADD_FAILURE() << "decoded";
    } catch (const EImageError& e) {
      EXPECT_EQ(e.File(), "skin/bad.jpg");
      EXPECT_FALSE(e.Reason().empty());
    }
  }
}

TEST(JpegDecoder, OversizedFramesAreRefusedBeforeAllocation) {
  const TBytes data = ReadData("rgb420.jpg");
  const struct { unsigned w, h; } sizes[] = {
      {TBitmap::MaxSide + 1, 8}, {8, TBitmap::MaxSide + 1}, {60000, 60000}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    try {
      DecodeJpeg(WithFrameSize(data, s.w, s.h), "big.jpg");
      ADD_FAILURE() << "decoded";
    } catch (const EImageError& e) {
      EXPECT_NE(e.Reason().find("too large"), std::string::npos) << e.what();
    }
  }
}

TEST(JpegDecoder, ZeroSizedFrameIsRefused) {
  EXPECT_THROW(DecodeJpeg(WithFrameSize(ReadData("rgb420.jpg"), 0, 40), "zero.jpg"), EImageError);
}

// Every single-byte corruption either decodes to the frame size or raises
// EImageError, and libjpeg prints nothing while doing so.
TEST(JpegDecoder, CorruptBytesNeverCrashOrPrint) {
  for (std::string name : {"rgb420.jpg", "rgb444_progressive.jpg", "cmyk_adobe.jpg"}) {
    const TBytes original = ReadData(name);
    testing::internal::CaptureStderr();
    int decoded = 0, refused = 0;
    for (size_t i = 0; i < original.size(); ++i) {
      for (uint8_t value : {uint8_t(0xFF), uint8_t(original[i] ^ 0x55)}) {
        TBytes data = original;
        data[i] = value;
        try {
          TBitmap b = DecodeJpeg(data, name);
          ASSERT_FALSE(b.Empty());
          ++decoded;
        } catch (const EImageError&) {
          ++refused;
        }
      }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
  }
}

}  // namespace
}  // namespace portico
