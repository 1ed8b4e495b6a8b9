#include <gtest/gtest.h>

#include "app/window_shape.h"
#include "skin/skin.h"
#include "png_builder.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

// A 4 x 1 skin whose mask keeps the middle two pixels and whose opacity
// image (when usable) fades in from the left, 0 first.
struct OpacityCase {
  const char* name;
  bool compositing;
  std::string alpha_file;  // bytes of alpha.bmp; empty: no such file
  bool alpha_used;         // the opacity image outlines the window
  std::vector<uint8_t> opacity = {0, 64, 255, 255};  // when used
};

std::string ColourRow(std::vector<uint32_t> pixels) {
  TBitmap b(int32_t(pixels.size()), 1);
  for (size_t i = 0; i < pixels.size(); ++i) b.SetPixel(int32_t(i), 0, pixels[i]);
  return EncodeBmp24(b);
}

std::string GreyRow(std::vector<uint32_t> levels) {
  for (uint32_t& level : levels) level *= 0x010101;
  return ColourRow(levels);
}

class WindowOpacity : public ::testing::TestWithParam<OpacityCase> {};

TEST_P(WindowOpacity, AlphaOutlinesTheWindowOnlyWithACompositorAndAUsableImage) {
  const OpacityCase& c = GetParam();
  test::HeadlessApp h;
  h.ws.SetCompositing(c.compositing);
  test::ScratchFolder dir;
  dir.Write("n.bmp", EncodeBmp24(SolidBitmap(4, 1, 0x123456)));
  TBitmap mask = SolidBitmap(4, 1, 0);
  mask.SetPixel(0, 0, 0xFFFFFF);
  mask.SetPixel(3, 0, 0xFFFFFF);
  dir.Write("m.bmp", EncodeBmp24(mask));
  if (!c.alpha_file.empty()) dir.Write("alpha.bmp", c.alpha_file);
  dir.Write("s.ini", "[SCREEN]\nNormal=n.bmp\nMask=m.bmp\nAlpha=alpha.bmp\n[BUTTONPOS]\n");

  TForm form(&h.app);
  TImage image;
  form.AddControl(&image);
  TSkin skin(dir.Path() + "/", "s.ini", 0, 0, &form, &image, nullptr);
  ASSERT_TRUE(ApplyWindowShape(skin, 0xFFFFFF));
  const HeadlessWindowSystem::Window* w = h.ws.Find(form.Handle());
  ASSERT_TRUE(w->Shape.has_value());
  if (c.alpha_used) {
    EXPECT_EQ(*w->Shape, (std::vector<TRect>{{1, 0, 4, 1}}));
    ASSERT_TRUE(w->Opacity.has_value());
    EXPECT_EQ(w->Opacity->Values, c.opacity);
  } else {
    EXPECT_EQ(*w->Shape, (std::vector<TRect>{{1, 0, 3, 1}}));
    EXPECT_FALSE(w->Opacity.has_value());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Skins, WindowOpacity,
    ::testing::Values(OpacityCase{"WithACompositor", true, GreyRow({0, 64, 255, 255}), true},
                      OpacityCase{"WithoutACompositor", false, GreyRow({0, 64, 255, 255}), false},
                      OpacityCase{"OfTheWrongWidth", true, GreyRow({0, 64, 255}), false},
                      OpacityCase{"OfTheWrongHeight", true, EncodeBmp24(SolidBitmap(4, 2, 0xFFFFFF)), false},
                      // Luminance: red, green and blue weigh 0.30, 0.59 and 0.11.
                      OpacityCase{"InColour", true, ColourRow({0x000000, 0xFF0000, 0x00FF00, 0x0000FF}), true,
                                  {0, 76, 149, 28}},
                      OpacityCase{"Undecodable", true, "BMnot a bitmap", false},
                      OpacityCase{"Missing", true, "", false}),
    [](const ::testing::TestParamInfo<OpacityCase>& info) { return std::string(info.param.name); });

// A 4 x 1 skin whose Normal image is a PNG with alpha 0, 100, 128, 255,
// with or without an Alpha image (grey 0, 64, 255, 255) and a mask
// (keeping the middle two pixels).
struct NormalAlphaCase {
  const char* name;
  bool compositing;
  bool alpha_named;
  bool mask_named;
  bool decoded_ahead;  // the Normal image comes from the start-up thread's decode
  std::vector<TRect> shape;
  std::vector<uint8_t> opacity;  // empty: none set
};

class NormalImageAlpha : public ::testing::TestWithParam<NormalAlphaCase> {};

TEST_P(NormalImageAlpha, IsTheOpacityWithoutAnAlphaImageAndTheOutlineWithoutAMask) {
  const NormalAlphaCase& c = GetParam();
  test::HeadlessApp h;
  h.ws.SetCompositing(c.compositing);
  test::ScratchFolder dir;
  const std::vector<uint8_t> png =
      test::EncodeRgbaPng(4, 1, {0x102030, 0x405060, 0x708090, 0xA0B0C0}, {0, 100, 128, 255});
  dir.Write("n.png", std::string(png.begin(), png.end()));
  dir.Write("m.bmp", ColourRow({0xFFFFFF, 0, 0, 0xFFFFFF}));
  dir.Write("a.bmp", GreyRow({0, 64, 255, 255}));
  std::string ini = "[SCREEN]\nNormal=n.png\n";
  if (c.mask_named) ini += "Mask=m.bmp\n";
  if (c.alpha_named) ini += "Alpha=a.bmp\n";
  dir.Write("s.ini", ini + "[BUTTONPOS]\n");
  const std::string normal = dir.Path() + "/n.png";
  TPreparedImages ahead;
  if (c.decoded_ahead) {
    ahead.Announce(normal);
    ahead.Provide(normal, PrepareImageFile(normal, nullptr));
  }

  TForm form(&h.app);
  TImage image;
  form.AddControl(&image);
  TSkin skin(dir.Path() + "/", "s.ini", 0, 0, &form, &image, nullptr, nullptr, &ahead);
  // The colours are shown as stored; the alpha stays beside them.
  EXPECT_EQ(skin.BitmapNormal->Pixel(0, 0), 0x102030u);
  ASSERT_TRUE(skin.NormalAlpha.has_value());
  ASSERT_TRUE(ApplyWindowShape(skin, 0xFFFFFF));
  const HeadlessWindowSystem::Window* w = h.ws.Find(form.Handle());
  ASSERT_TRUE(w->Shape.has_value());
  EXPECT_EQ(*w->Shape, c.shape);
  EXPECT_EQ(w->Opacity.has_value(), !c.opacity.empty());
  if (w->Opacity) {
    EXPECT_EQ(w->Opacity->Values, c.opacity);
  }
}

const std::vector<uint8_t> kNormalAlpha = {0, 100, 128, 255};
INSTANTIATE_TEST_SUITE_P(
    Skins, NormalImageAlpha,
    ::testing::Values(
        NormalAlphaCase{"CompositedAlone", true, false, false, false, {{1, 0, 4, 1}}, kNormalAlpha},
        NormalAlphaCase{"CompositedDecodedAhead", true, false, false, true, {{1, 0, 4, 1}}, kNormalAlpha},
        NormalAlphaCase{"CompositedWithAMask", true, false, true, false, {{1, 0, 4, 1}}, kNormalAlpha},
        NormalAlphaCase{"CompositedWithAnAlphaImage", true, true, false, false, {{1, 0, 4, 1}}, {0, 64, 255, 255}},
        // Without a compositor: at least half opaque is window.
        NormalAlphaCase{"Alone", false, false, false, false, {{2, 0, 4, 1}}, {}},
        NormalAlphaCase{"AloneDecodedAhead", false, false, false, true, {{2, 0, 4, 1}}, {}},
        NormalAlphaCase{"WithAnAlphaImage", false, true, false, false, {{2, 0, 4, 1}}, {}},
        NormalAlphaCase{"WithAMask", false, false, true, false, {{1, 0, 3, 1}}, {}}),
    [](const ::testing::TestParamInfo<NormalAlphaCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace portico
