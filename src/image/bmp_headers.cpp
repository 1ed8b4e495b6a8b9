#include "image/bmp_headers.h"

#include <algorithm>

#include "graphics/bitmap.h"
#include "image/byte_reader.h"

namespace portico {
namespace {

constexpr uint32_t kFileHeaderSize = 14;

// The header fields that matter here, with zero for those a short header leaves out.
struct InfoFields {
  int64_t Width = 0, Height = 0;
  uint32_t Planes = 0, BitCount = 0, Compression = 0, ClrUsed = 0;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha (V2..V5 headers)
};

// Tells the header kind from its size field, or fails for sizes no writer uses.
BmpHeaderKind HeaderKindFor(uint32_t size, const ByteReader& reader) {
  switch (size) {
    case 12: return BmpHeaderKind::Core;
    case 40: return BmpHeaderKind::Info;
    case 52: return BmpHeaderKind::V2;
    case 56: return BmpHeaderKind::V3;
    case 108: return BmpHeaderKind::V4;
    case 124: return BmpHeaderKind::V5;
  }
  // OS/2 2.x writers may cut their header short after any field.
  if (size >= 16 && size <= 64) return BmpHeaderKind::Os2V2;
  reader.Fail("unsupported header size " + std::to_string(size));
}

// Reads the info header of `size` bytes (the size field already read).
InfoFields ReadInfoFields(ByteReader& file, BmpHeaderKind kind, uint32_t size, const std::string& name) {
  InfoFields f;
  ByteReader h(file.Bytes(size - 4), name);  // the rest of the header must be in the file
  if (kind == BmpHeaderKind::Core) {
    f.Width = h.U16();
    f.Height = h.U16();
    f.Planes = h.U16();
    f.BitCount = h.U16();
    return f;
  }
  f.Width = h.I32();
  f.Height = h.I32();
  f.Planes = h.U16();
  f.BitCount = h.U16();
  // Fields of a short OS/2 header that are not there read as zero.
  auto next = [&h]() { return h.Remaining() >= 4 ? h.U32() : 0u; };
  f.Compression = next();
  next();  // biSizeImage: often wrong, the layout decides
  next();  // biXPelsPerMeter
  next();  // biYPelsPerMeter
  f.ClrUsed = next();
  next();  // biClrImportant
  if (kind != BmpHeaderKind::Os2V2 && kind != BmpHeaderKind::Info) {
    for (uint32_t& m : f.Masks) m = next();
    if (kind == BmpHeaderKind::V2) f.Masks[3] = 0;  // not in this header
  }
  return f;
}

// Fails for compressions we do not read, and for those that do not fit the bit count.
void CheckCompression(const InfoFields& f, BmpHeaderKind kind, const ByteReader& reader) {
  const std::string code = "unsupported compression " + std::to_string(f.Compression);
  if (kind == BmpHeaderKind::Os2V2 && f.Compression == kBiBitFields) reader.Fail(code + " (OS/2 Huffman)");
  if (kind == BmpHeaderKind::Os2V2 && f.Compression == kBiJpeg) reader.Fail(code + " (OS/2 RLE24)");
  if (f.Compression == kBiJpeg) reader.Fail(code + " (JPEG in BMP)");
  if (f.Compression == kBiPng) reader.Fail(code + " (PNG in BMP)");
  if (f.Compression > kBiAlphaBitFields) reader.Fail(code);

  const uint32_t bpp = f.BitCount;
  if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    reader.Fail("unsupported bit count " + std::to_string(bpp));
  if (f.Compression == kBiRle8 && bpp != 8)
    reader.Fail("RLE8 compression with " + std::to_string(bpp) + " bits per pixel");
  if (f.Compression == kBiRle4 && bpp != 4)
    reader.Fail("RLE4 compression with " + std::to_string(bpp) + " bits per pixel");
  if ((f.Compression == kBiBitFields || f.Compression == kBiAlphaBitFields) && bpp != 16 && bpp != 32)
    reader.Fail("bit fields with " + std::to_string(bpp) + " bits per pixel");
}

// Checks the dimensions against the bitmap limits, before anything is allocated.
void CheckSize(const InfoFields& f, const ByteReader& reader) {
  if (f.Width < 0) reader.Fail("bad width " + std::to_string(f.Width));
  if (f.Height == INT32_MIN) reader.Fail("bad height " + std::to_string(f.Height));
  const int64_t height = f.Height < 0 ? -f.Height : f.Height;
  if (f.Width > TBitmap::MaxSide || height > TBitmap::MaxSide || f.Width * height > TBitmap::MaxPixels)
    reader.Fail("image too large: " + std::to_string(f.Width) + " x " + std::to_string(height));
}

// Sets the channel masks: from the header or the bit fields after it, or the defaults.
void ReadMasks(ByteReader& file, const InfoFields& f, BmpHeaderKind kind, BmpLayout& out) {
  const bool fields = f.Compression == kBiBitFields || f.Compression == kBiAlphaBitFields;
  if (!fields) {
    if (out.BitsPerPixel == 16) {
      out.RedMask = 0x7C00, out.GreenMask = 0x03E0, out.BlueMask = 0x001F;
    } else if (out.BitsPerPixel == 32) {
      out.RedMask = 0xFF0000, out.GreenMask = 0x00FF00, out.BlueMask = 0x0000FF;
    }
    return;
  }
  uint32_t m[4] = {f.Masks[0], f.Masks[1], f.Masks[2], f.Masks[3]};
  if (kind == BmpHeaderKind::Info) {
    // The 40-byte header is followed by three masks, or four with alpha.
    m[0] = file.U32(), m[1] = file.U32(), m[2] = file.U32();
    m[3] = f.Compression == kBiAlphaBitFields ? file.U32() : 0;
  }
  if (out.BitsPerPixel == 16)  // bits above the sample cannot hold anything
    for (uint32_t& mask : m) mask &= 0xFFFF;
  if ((m[0] | m[1] | m[2]) == 0) file.Fail("empty colour masks");
  out.RedMask = m[0], out.GreenMask = m[1], out.BlueMask = m[2], out.AlphaMask = m[3];
}

// Reads the palette that lies between the headers and the pixel data.
void ReadPalette(ByteReader& file, const InfoFields& f, BmpHeaderKind kind, BmpLayout& out) {
  const uint64_t entrySize = kind == BmpHeaderKind::Core ? 3 : 4;
  uint64_t count = f.ClrUsed == 0 ? uint64_t{1} << out.BitsPerPixel : f.ClrUsed;
  count = std::min<uint64_t>(count, uint64_t{1} << out.BitsPerPixel);
  // A palette never reaches into the pixel data, whatever biClrUsed claims.
  count = std::min<uint64_t>(count, (out.PixelOffset - file.Position()) / entrySize);
  if (count == 0) file.Fail("missing colour palette");
  out.Palette.resize(size_t(count));
  for (uint32_t& entry : out.Palette) {
    std::span<const uint8_t> bgr = file.Bytes(entrySize);
    entry = uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
  }
}

}  // namespace

BmpLayout ReadBmpLayout(std::span<const uint8_t> data, const std::string& name) {
  ByteReader file(data, name);
  if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') file.Fail("not a BMP file");
  if (data.size() < kFileHeaderSize + 4) file.Fail("truncated header");
  file.Skip(10);  // signature, bfSize (often wrong, unused), reserved
  BmpLayout out;
  out.PixelOffset = file.U32();
  const uint32_t headerSize = file.U32();
  out.Kind = HeaderKindFor(headerSize, file);
  if (headerSize > file.Remaining() + 4) file.Fail("truncated header");
  const InfoFields f = ReadInfoFields(file, out.Kind, headerSize, name);

  if (f.Planes != 1) file.Fail("bad plane count " + std::to_string(f.Planes));
  CheckCompression(f, out.Kind, file);
  CheckSize(f, file);
  // A bitmap with no pixels is no image: nothing more to read or check.
  if (f.Width == 0 || f.Height == 0) return out;
  out.Width = int32_t(f.Width);
  out.Height = int32_t(f.Height < 0 ? -f.Height : f.Height);
  out.TopDown = f.Height < 0;
  out.BitsPerPixel = int(f.BitCount);
  out.Compression = f.Compression;
  if (out.TopDown && (f.Compression == kBiRle8 || f.Compression == kBiRle4)) file.Fail("top-down RLE bitmap");
  out.RowStride = (uint64_t(out.Width) * uint64_t(out.BitsPerPixel) + 31) / 32 * 4;

  ReadMasks(file, f, out.Kind, out);
  if (out.PixelOffset < file.Position())
    file.Fail("bad pixel data offset " + std::to_string(out.PixelOffset));
  if (out.PixelOffset > data.size())
    file.Fail("pixel data offset " + std::to_string(out.PixelOffset) + " past the end");
  if (out.BitsPerPixel <= 8) ReadPalette(file, f, out.Kind, out);
  return out;
}

}  // namespace portico
