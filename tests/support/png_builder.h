// Writes PNG files for tests through libpng: any colour type, bit depth,
// interlacing and transparency chunk, from raw samples.
#pragma once
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

namespace portico::test {

struct TPngSpec {
  uint32_t Width = 1, Height = 1;
  int ColorType = PNG_COLOR_TYPE_RGB;
  int Depth = 8;
  bool Interlaced = false;
  std::vector<png_color> Palette;
  std::vector<uint8_t> TransAlpha;  // tRNS of a palette image: alpha per entry
  bool HasTransColor = false;       // tRNS of a grey or RGB image
  png_color_16 TransColor{};
};

inline int PngChannels(int color_type) {
  switch (color_type) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
  }
}

namespace png_builder_detail {
inline void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
inline void Flush(png_structp) {}
inline bool Write(png_structp png, png_infop info, const TPngSpec& spec, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, spec.Width, spec.Height, spec.Depth, spec.ColorType,
               spec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec.Palette.empty()) png_set_PLTE(png, info, spec.Palette.data(), int(spec.Palette.size()));
  if (!spec.TransAlpha.empty())
    png_set_tRNS(png, info, spec.TransAlpha.data(), int(spec.TransAlpha.size()), nullptr);
  if (spec.HasTransColor) png_set_tRNS(png, info, nullptr, 0, &spec.TransColor);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}
}  // namespace png_builder_detail

// The file for `samples`: PngChannels values per pixel, rows top-down,
// each value at the spec's depth (a palette index for palette images).
// Empty when libpng refuses the spec.
inline std::vector<uint8_t> EncodeTestPng(const TPngSpec& spec, const std::vector<uint16_t>& samples) {
  const int channels = PngChannels(spec.ColorType);
  const size_t row_bytes = (size_t(spec.Width) * channels * spec.Depth + 7) / 8;
  std::vector<uint8_t> raster(row_bytes * spec.Height, 0);
  std::vector<png_bytep> rows(spec.Height);
  for (uint32_t y = 0; y < spec.Height; ++y) {
    uint8_t* row = rows[y] = raster.data() + y * row_bytes;
    for (size_t i = 0; i < size_t(spec.Width) * channels; ++i) {
      const uint16_t v = samples[y * size_t(spec.Width) * channels + i];
      if (spec.Depth == 16) {
        row[2 * i] = uint8_t(v >> 8), row[2 * i + 1] = uint8_t(v);
      } else if (spec.Depth == 8) {
        row[i] = uint8_t(v);
      } else {
        const size_t bit = i * spec.Depth;  // leftmost sample in the high bits
        row[bit / 8] |= uint8_t(v << (8 - spec.Depth - bit % 8));
      }
    }
  }
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info) {
    png_set_write_fn(png, &out, png_builder_detail::Append, png_builder_detail::Flush);
    if (!png_builder_detail::Write(png, info, spec, rows.data())) out.clear();
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return out;
}

// An 8-bit RGBA file from 0x00RRGGBB pixels and their alpha.
inline std::vector<uint8_t> EncodeRgbaPng(uint32_t width, uint32_t height, const std::vector<uint32_t>& rgb,
                                          const std::vector<uint8_t>& alpha) {
  std::vector<uint16_t> samples;
  for (size_t i = 0; i < rgb.size(); ++i)
    samples.insert(samples.end(), {uint16_t(rgb[i] >> 16 & 0xFF), uint16_t(rgb[i] >> 8 & 0xFF),
                                   uint16_t(rgb[i] & 0xFF), alpha[i]});
  TPngSpec spec;
  spec.Width = width, spec.Height = height, spec.ColorType = PNG_COLOR_TYPE_RGBA;
  return EncodeTestPng(spec, samples);
}

}  // namespace portico::test
