// The headers of a Windows/OS/2 bitmap file, read into one checked layout.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace portico {

// Compression codes of the info header's biCompression field.
enum BmpCompression : uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitFields = 3,  // OS/2 v2 headers: Huffman 1D
  kBiJpeg = 4,       // OS/2 v2 headers: RLE24
  kBiPng = 5,
  kBiAlphaBitFields = 6,
};

// Which header the file carries, told apart by its size field.
enum class BmpHeaderKind {
  Core,   // BITMAPCOREHEADER, 12 bytes (OS/2 1.x): 16-bit sizes, 3-byte palette entries
  Os2V2,  // OS/2 2.x BITMAPINFOHEADER2, 16..64 bytes, any prefix of the full one
  Info,   // BITMAPINFOHEADER, 40 bytes; bit fields follow it
  V2,     // 52 bytes: adds the RGB masks (Adobe's extension)
  V3,     // 56 bytes: adds the alpha mask
  V4,     // BITMAPV4HEADER, 108 bytes: adds colour space and gamma
  V5,     // BITMAPV5HEADER, 124 bytes: adds rendering intent and ICC profile
};

// Everything needed to read the pixels, validated against the file's size
// and the bitmap limits.
struct BmpLayout {
  BmpHeaderKind Kind = BmpHeaderKind::Info;
  int32_t Width = 0;
  int32_t Height = 0;    // always positive
  bool TopDown = false;  // the first stored row is the top one
  int BitsPerPixel = 0;
  uint32_t Compression = kBiRgb;
  uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB, only for <= 8 bits
  uint64_t PixelOffset = 0;       // bfOffBits
  uint64_t RowStride = 0;         // bytes per stored row, padded to 4 (uncompressed)
};

// Reads and checks the file and info headers, the bit fields and the
// palette. Throws EImageError naming `name`. A bitmap whose width or height
// is 0 gives a layout of size 0 x 0 with nothing else read.
BmpLayout ReadBmpLayout(std::span<const uint8_t> data, const std::string& name);

}  // namespace portico
