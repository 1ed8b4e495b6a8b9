// Builds small BMP files in memory for decoder tests.
#pragma once
#include <cstdint>
#include <vector>

namespace portico::test {

struct BmpSpec {
  int32_t Width = 1;
  int32_t Height = 1;  // negative: top-down
  uint16_t BitsPerPixel = 24;
  uint32_t Compression = 0;
  uint32_t HeaderSize = 40;         // 12 writes the OS/2 core header
  std::vector<uint32_t> Palette{};  // 0x00RRGGBB
  uint32_t ClrUsed = 0;
  // Bit fields: written after a 40-byte header, inside larger ones.
  std::vector<uint32_t> Masks{};
  std::vector<uint8_t> Pixels{};  // stored as given, right after the palette
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Writes file header, info header, masks, palette and pixels.
inline std::vector<uint8_t> BuildBmp(const BmpSpec& spec) {
  const bool core = spec.HeaderSize == 12;
  const bool masksAfter = spec.HeaderSize == 40 && !spec.Masks.empty();
  const uint32_t paletteBytes = uint32_t(spec.Palette.size()) * (core ? 3 : 4);
  const uint32_t offBits =
      14 + spec.HeaderSize + (masksAfter ? 4 * uint32_t(spec.Masks.size()) : 0) + paletteBytes;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, offBits + uint32_t(spec.Pixels.size()));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, spec.HeaderSize);
  if (core) {
    Put16(out, uint32_t(spec.Width));
    Put16(out, uint32_t(spec.Height));
    Put16(out, 1);
    Put16(out, spec.BitsPerPixel);
  } else {
    std::vector<uint8_t> header;
    Put32(header, uint32_t(spec.Width));
    Put32(header, uint32_t(spec.Height));
    Put16(header, 1);
    Put16(header, spec.BitsPerPixel);
    Put32(header, spec.Compression);
    Put32(header, uint32_t(spec.Pixels.size()));
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, spec.ClrUsed);
    Put32(header, 0);
    if (!masksAfter)
      for (uint32_t m : spec.Masks) Put32(header, m);
    header.resize(spec.HeaderSize - 4, 0);
    out.insert(out.end(), header.begin(), header.end());
    if (masksAfter)
      for (uint32_t m : spec.Masks) Put32(out, m);
  }
  for (uint32_t c : spec.Palette) {
    out.push_back(uint8_t(c));
    out.push_back(uint8_t(c >> 8));
    out.push_back(uint8_t(c >> 16));
    if (!core) out.push_back(0);
  }
  out.insert(out.end(), spec.Pixels.begin(), spec.Pixels.end());
  return out;
}

}  // namespace portico::test
