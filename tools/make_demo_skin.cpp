// Writes the demo skin: four state images, the mask, the opacity image and
// the description file, into the folder given as the first argument
// ("demo" by default). With --png the same skin as PNG files: the state
// images alone, the soft edges in the Normal image's alpha channel, which
// also outlines the window (no mask, no opacity image).
//
//   make_demo_skin [FOLDER] [--png]
//
// Every control is drawn in four looks (normal, pointer over, pressed,
// disabled); everything that is not a control is the same in all four
// images, so a screen that mixes them never shows a seam. Output is fully
// deterministic: the same build writes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "skintool/png_file.h"

namespace portico {
namespace {

// The panel; the window is larger by the room its drop shadow takes to
// the right and below.
constexpr int kWidth = 480;
constexpr int kHeight = 320;
constexpr double kShadowDx = 4, kShadowDy = 6, kShadowBlur = 6, kShadowOpacity = 0.45;
constexpr int kWindowWidth = kWidth + 10;
constexpr int kWindowHeight = kHeight + 12;
constexpr double kPi = 3.14159265358979323846;

// One control's rectangle as written into the description file.
struct Box {
  int x, y, w, h;
};

// The layout: frame coordinates shared by the drawing and the description.
constexpr Box kInstall{32, 236, 120, 40};
constexpr Box kExit{168, 236, 120, 40};
constexpr Box kUrl{28, 168, 148, 22};
constexpr Box kVersion{330, 20, 124, 26};
constexpr int kDialX = 400, kDialY = 130, kDialOuter = 56, kDialInner = 36;
constexpr int kGaugeX = 400, kGaugeY = 262, kGaugeOuter = 40, kGaugeInner = 28;
// The gauge control is the quarter from straight up clockwise to the right.
constexpr int kArcStartX = kGaugeX, kArcStartY = kGaugeY - kGaugeOuter;
constexpr int kArcEndX = kGaugeX + kGaugeOuter, kArcEndY = kGaugeY;
constexpr Box kDial{kDialX - kDialOuter, kDialY - kDialOuter, 2 * kDialOuter + 1, 2 * kDialOuter + 1};
constexpr Box kGauge{kGaugeX, kGaugeY - kGaugeOuter, kGaugeOuter + 1, kGaugeOuter + 1};
// The window outline: a rounded rectangle with a round notch in the bottom edge.
constexpr double kCornerRadius = 24;
constexpr int kNotchX = 240, kNotchY = kHeight, kNotchRadius = 18;

enum class Look { Normal, Over, Down, Disable };

// 0xRRGGBB pixels, rows top-down.
struct Image {
  std::vector<uint32_t> px = std::vector<uint32_t>(size_t(kWindowWidth) * kWindowHeight, 0);
  uint32_t& at(int x, int y) { return px[size_t(y) * kWindowWidth + size_t(x)]; }
};

// Builds a pixel word from channels.
uint32_t Rgb(int r, int g, int b) {
  auto c = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
  return (c(r) << 16) | (c(g) << 8) | c(b);
}
int Red(uint32_t p) { return int(p >> 16) & 0xFF; }
int Green(uint32_t p) { return int(p >> 8) & 0xFF; }
int Blue(uint32_t p) { return int(p) & 0xFF; }

// Linear mix of two colours, t = 0 gives a, t = 1 gives b.
uint32_t Mix(uint32_t a, uint32_t b, double t) {
  auto m = [t](int u, int v) { return int(std::lround(u + (v - u) * t)); };
  return Rgb(m(Red(a), Red(b)), m(Green(a), Green(b)), m(Blue(a), Blue(b)));
}

// Adds delta to every channel (positive: lighter).
uint32_t Shade(uint32_t p, int delta) { return Rgb(Red(p) + delta, Green(p) + delta, Blue(p) + delta); }

// Greys a colour out the way disabled controls look: desaturated and flat.
uint32_t Grey(uint32_t p) {
  int l = (Red(p) * 30 + Green(p) * 59 + Blue(p) * 11) / 100;
  return Rgb(60 + l / 3, 63 + l / 3, 70 + l / 3);
}

// Signed distance from (px, py) to a rounded box (negative inside).
double RoundBoxDistance(double px, double py, const Box& b, double r) {
  double hw = b.w / 2.0, hh = b.h / 2.0;
  double qx = std::fabs(px - (b.x + hw)) - (hw - r);
  double qy = std::fabs(py - (b.y + hh)) - (hh - r);
  double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - r;
}

// Signed distance to the window outline at the pixel centre (x, y).
double OutlineDistance(int x, int y) {
  double px = x + 0.5, py = y + 0.5;
  double body = RoundBoxDistance(px, py, Box{0, 0, kWidth, kHeight}, kCornerRadius);
  double notch = kNotchRadius - std::hypot(px - kNotchX, py - kNotchY);
  return std::max(body, notch);
}

// Blends colour into every pixel of the area by coverage of the shape
// given by its signed distance (one pixel of antialiasing).
void Fill(Image& img, const Box& area, const std::function<double(double, double)>& distance,
          const std::function<uint32_t(int, int)>& colour) {
  for (int y = std::max(area.y, 0); y < std::min(area.y + area.h, kHeight); ++y) {
    for (int x = std::max(area.x, 0); x < std::min(area.x + area.w, kWidth); ++x) {
      double cover = std::clamp(0.5 - distance(x + 0.5, y + 0.5), 0.0, 1.0);
      if (cover > 0) img.at(x, y) = Mix(img.at(x, y), colour(x, y), cover);
    }
  }
}

// The direction of (dx, dy) in degrees, 0 to the right, clockwise on screen.
double Angle(double dx, double dy) {
  double a = std::atan2(dy, dx) * 180.0 / kPi;
  return a < 0 ? a + 360.0 : a;
}

// 5x7 glyphs, one byte per row, bit 4 is the leftmost column.
struct Glyph {
  char c;
  uint8_t rows[7];
};
constexpr Glyph kFont[] = {
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
    {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {28, 18, 17, 17, 17, 18, 28}},
    {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},
    {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
    {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},
    {'U', {17, 17, 17, 17, 17, 17, 14}}, {'V', {17, 17, 17, 17, 17, 10, 4}},
    {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 17, 10, 4, 4, 4}},    {'Z', {31, 1, 2, 4, 8, 16, 31}},
    {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},
    {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},
    {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},
    {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'.', {0, 0, 0, 0, 0, 12, 12}},      {',', {0, 0, 0, 0, 12, 4, 8}},
    {'!', {4, 4, 4, 4, 4, 0, 4}},        {'?', {14, 17, 1, 2, 4, 0, 4}},
    {':', {0, 12, 12, 0, 12, 12, 0}},    {'/', {1, 1, 2, 4, 8, 16, 16}},
    {'-', {0, 0, 0, 31, 0, 0, 0}},       {' ', {0, 0, 0, 0, 0, 0, 0}},
};

// Width in pixels of text drawn at the given scale.
int TextWidth(const std::string& text, int scale) { return int(text.size()) * 6 * scale - scale; }

// Draws text with the built-in font, each font pixel a scale x scale block.
void DrawText(Image& img, int x, int y, const std::string& text, int scale, uint32_t colour) {
  for (char c : text) {
    for (const Glyph& g : kFont) {
      if (g.c != c) continue;
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (g.rows[row] & (16 >> col))
            for (int dy = 0; dy < scale; ++dy)
              for (int dx = 0; dx < scale; ++dx) {
                int px = x + col * scale + dx, py = y + row * scale + dy;
                if (px >= 0 && px < kWidth && py >= 0 && py < kHeight) img.at(px, py) = colour;
              }
    }
    x += 6 * scale;
  }
}

// Text with a one-pixel drop shadow, for lettering on the panel.
void DrawShadowText(Image& img, int x, int y, const std::string& text, int scale, uint32_t colour) {
  DrawText(img, x + 1, y + 1, text, scale, Rgb(8, 12, 24));
  DrawText(img, x, y, text, scale, colour);
}

// The parts that are the same in every look: panel, title, texts, tracks.
void DrawBackground(Image& img) {
  const uint32_t top = Rgb(0x22, 0x30, 0x50), bottom = Rgb(0x11, 0x18, 0x2a);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) img.at(x, y) = Mix(top, bottom, double(y) / (kHeight - 1));
  // Title band with an accent line below it.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < kWidth; ++x)
      img.at(x, y) = Mix(Rgb(0x2e, 0x46, 0x7a), Rgb(0x22, 0x34, 0x5c), y / 63.0);
  for (int x = 0; x < kWidth; ++x) {
    img.at(x, 64) = Rgb(0x4f, 0xa3, 0xff);
    img.at(x, 65) = Rgb(0x2a, 0x5c, 0x9c);
  }
  // A two-pixel rim that follows the outline, notch included.
  Fill(img, Box{0, 0, kWidth, kHeight},
       [](double px, double py) {
         double d = OutlineDistance(int(px), int(py));
         return d < -2.0 ? 1.0 : -1.0;
       },
       [](int, int) { return Rgb(0x5a, 0x7d, 0xb8); });

  DrawShadowText(img, 28, 18, "PORTICO", 4, Rgb(0xea, 0xf2, 0xff));
  DrawShadowText(img, 204, 32, "DEMO", 2, Rgb(0x9e, 0xc5, 0xff));
  const uint32_t body = Rgb(0xb8, 0xc6, 0xe0);
  DrawShadowText(img, 32, 84, "WELCOME TO THE DEMO.", 2, body);
  DrawShadowText(img, 32, 104, "HOVER, PRESS AND", 2, body);
  DrawShadowText(img, 32, 124, "CLICK THE CONTROLS.", 2, body);
  DrawShadowText(img, 32, 148, "DRAG THE PANEL TO MOVE IT.", 1, Rgb(0x7f, 0x92, 0xb8));
  DrawShadowText(img, 32, 296, "PRESS ESC TO CLOSE", 1, Rgb(0x6b, 0x7a, 0x99));

  // The version field: a recessed box the caption is written into.
  Fill(img, kVersion, [](double px, double py) { return RoundBoxDistance(px, py, kVersion, 5); },
       [](int, int) { return Rgb(0x5a, 0x7d, 0xb8); });
  Box inner{kVersion.x + 1, kVersion.y + 1, kVersion.w - 2, kVersion.h - 2};
  Fill(img, inner, [inner](double px, double py) { return RoundBoxDistance(px, py, inner, 4); },
       [](int, int) { return Rgb(0x0d, 0x13, 0x22); });

  // Dial socket and the full gauge track; the lit parts are controls.
  Fill(img, Box{kDialX - 62, kDialY - 62, 125, 125},
       [](double px, double py) { return std::hypot(px - kDialX, py - kDialY) - 60; },
       [](int, int) { return Rgb(0x0c, 0x12, 0x20); });
  Fill(img, Box{kGaugeX - 42, kGaugeY - 42, 85, 85},
       [](double px, double py) {
         double r = std::hypot(px - kGaugeX, py - kGaugeY);
         return std::max(r - kGaugeOuter, kGaugeInner - r);
       },
       [](int, int) { return Rgb(0x27, 0x32, 0x4a); });
  DrawShadowText(img, kGaugeX - TextWidth("ARC", 1) / 2, kGaugeY - 3, "ARC", 1, Rgb(0x7f, 0x92, 0xb8));
}

// A push button with its label in the given look.
void DrawButton(Image& img, const Box& b, const std::string& label, uint32_t light, uint32_t dark,
                Look look) {
  uint32_t top = light, bottom = dark, text = Rgb(0xff, 0xff, 0xff), edge = Shade(dark, -40);
  int shift = 0;
  if (look == Look::Over) {
    top = Shade(light, 40), bottom = Shade(dark, 40), edge = Rgb(0xe6, 0xf0, 0xff);
  } else if (look == Look::Down) {
    top = Shade(dark, -30), bottom = Shade(light, -30), edge = Shade(dark, -60), shift = 1;
  } else if (look == Look::Disable) {
    top = Grey(light), bottom = Grey(dark), edge = Grey(edge), text = Rgb(0x9a, 0xa0, 0xaa);
  }
  Fill(img, b, [b](double px, double py) { return RoundBoxDistance(px, py, b, 8); },
       [edge](int, int) { return edge; });
  Box face{b.x + 2, b.y + 2, b.w - 4, b.h - 4};
  Fill(img, face, [face](double px, double py) { return RoundBoxDistance(px, py, face, 6); },
       [&](int, int y) { return Mix(top, bottom, double(y - face.y) / (face.h - 1)); });
  int tx = b.x + (b.w - TextWidth(label, 2)) / 2 + shift;
  int ty = b.y + (b.h - 14) / 2 + shift;
  if (look != Look::Disable) DrawText(img, tx + 1, ty + 1, label, 2, Shade(dark, -50));
  DrawText(img, tx, ty, label, 2, text);
}

// The link-like control.
void DrawLink(Image& img, Look look) {
  uint32_t ink = Rgb(0x6c, 0xb6, 0xff);
  if (look == Look::Over) {
    Fill(img, kUrl, [](double px, double py) { return RoundBoxDistance(px, py, kUrl, 4); },
         [](int, int) { return Rgb(0x1e, 0x3a, 0x66); });
    ink = Rgb(0xb4, 0xdc, 0xff);
  } else if (look == Look::Down) {
    ink = Rgb(0x3d, 0x7f, 0xc4);
  } else if (look == Look::Disable) {
    ink = Rgb(0x6b, 0x72, 0x80);
  }
  int shift = look == Look::Down ? 1 : 0;
  DrawText(img, kUrl.x + 4 + shift, kUrl.y + 3 + shift, "EXAMPLE.ORG", 2, ink);
  for (int x = kUrl.x + 4; x < kUrl.x + 4 + TextWidth("EXAMPLE.ORG", 2); ++x) {
    img.at(x + shift, kUrl.y + 19) = ink;
    if (look == Look::Over) img.at(x, kUrl.y + 20) = ink;
  }
}

// The ring control: a ridged dial with tick marks.
void DrawDial(Image& img, Look look) {
  uint32_t base = Rgb(0x4a, 0x5f, 0x8c), light = Rgb(0xa9, 0xc1, 0xea);
  if (look == Look::Over) base = Rgb(0x3f, 0x8c, 0xd8), light = Rgb(0xc8, 0xf0, 0xff);
  if (look == Look::Down) base = Rgb(0x22, 0x35, 0x5c), light = Rgb(0x5a, 0x78, 0xa8);
  if (look == Look::Disable) base = Grey(base), light = Grey(light);
  auto ring = [](double px, double py) {
    double r = std::hypot(px - kDialX, py - kDialY);
    return std::max(r - kDialOuter, kDialInner - r);
  };
  Fill(img, kDial, ring, [&](int x, int y) {
    double a = Angle(x + 0.5 - kDialX, y + 0.5 - kDialY);
    // Light from the upper left; a pressed dial is lit from below.
    double lit = 0.5 + 0.5 * std::cos((a - (look == Look::Down ? 45.0 : 225.0)) * kPi / 180.0);
    uint32_t c = Mix(base, light, lit);
    double r = std::hypot(x + 0.5 - kDialX, y + 0.5 - kDialY);
    double tick = std::fmod(a + 3.75, 30.0);
    if (tick < 1.5 && r > kDialInner + 4 && r < kDialOuter - 4) c = Shade(c, -70);
    if (look == Look::Over && r > kDialOuter - 2.5) c = Rgb(0xe6, 0xf6, 0xff);
    return c;
  });
  // The centre dot lies in the ring's hole, which takes no pointer: it
  // keeps its look under the pointer and when pressed.
  uint32_t dot = look == Look::Disable ? Rgb(0x55, 0x5b, 0x66) : Rgb(0x4f, 0xa3, 0xff);
  Fill(img, Box{kDialX - 6, kDialY - 6, 13, 13},
       [](double px, double py) { return std::hypot(px - kDialX, py - kDialY) - 5; },
       [dot](int, int) { return dot; });
}

// The arc control: the lit quarter of the gauge ring.
void DrawGauge(Image& img, Look look) {
  uint32_t ink = Rgb(0xf5, 0x9e, 0x0b);
  if (look == Look::Over) ink = Rgb(0xfd, 0xe0, 0x6a);
  if (look == Look::Down) ink = Rgb(0xa4, 0x4a, 0x06);
  if (look == Look::Disable) ink = Grey(ink);
  Fill(img, kGauge,
       [](double px, double py) {
         double r = std::hypot(px - kGaugeX, py - kGaugeY);
         double band = std::max(r - kGaugeOuter, kGaugeInner - r);
         // Inside the quarter from straight up (270) to the right (360).
         double a = Angle(px - kGaugeX, py - kGaugeY);
         return a >= 270.0 || a == 0.0 ? band : 1.0;
       },
       [ink](int, int) { return ink; });
}

// Coverage of the pixel (x, y) by the panel (one pixel of antialiasing).
double PanelCover(int x, int y) { return std::clamp(0.5 - OutlineDistance(x, y), 0.0, 1.0); }

// Opacity of the drop shadow at (x, y): the panel's outline moved down and
// to the right, fading out over kShadowBlur pixels.
double ShadowOpacity(int x, int y) {
  double d = OutlineDistance(int(std::lround(x - kShadowDx)), int(std::lround(y - kShadowDy)));
  double t = std::clamp(1.0 - (d + 1.0) / kShadowBlur, 0.0, 1.0);
  return kShadowOpacity * t * t;
}

// Opacity of a window pixel: opaque wherever the mask keeps the panel, so
// that a display without a compositor shows the same kept pixels; outside
// it the panel's antialiased fringe over the shadow.
double Opacity(int x, int y) {
  if (OutlineDistance(x, y) < 0) return 1.0;
  double cover = PanelCover(x, y);
  return cover + (1.0 - cover) * ShadowOpacity(x, y);
}

// Outside the mask, pixels take the rim's colour in the fringe and black
// in the shadow, at their share of the opacity (colours are not
// premultiplied).
void DrawEdges(Image& img) {
  const uint32_t rim = Rgb(0x5a, 0x7d, 0xb8);
  for (int y = 0; y < kWindowHeight; ++y) {
    for (int x = 0; x < kWindowWidth; ++x) {
      if (OutlineDistance(x, y) < 0) continue;
      double a = Opacity(x, y);
      img.at(x, y) = a > 0 ? Mix(0, rim, PanelCover(x, y) / a) : 0;
    }
  }
}

// One whole-window image with every control in the given look.
Image Render(Look look) {
  Image img;
  DrawBackground(img);
  DrawButton(img, kInstall, "INSTALL", Rgb(0x3b, 0x82, 0xf6), Rgb(0x1d, 0x4e, 0xd8), look);
  DrawButton(img, kExit, "EXIT", Rgb(0x6b, 0x75, 0x8c), Rgb(0x46, 0x50, 0x66), look);
  DrawLink(img, look);
  DrawDial(img, look);
  DrawGauge(img, look);
  DrawEdges(img);
  return img;
}

// The mask: black where the window is, white where it is cut away.
Image RenderMask() {
  Image img;
  for (int y = 0; y < kWindowHeight; ++y)
    for (int x = 0; x < kWindowWidth; ++x) img.at(x, y) = OutlineDistance(x, y) < 0 ? 0 : 0xFFFFFF;
  return img;
}

// The opacity image for compositing displays: grey levels, white opaque.
Image RenderAlpha() {
  Image img;
  for (int y = 0; y < kWindowHeight; ++y)
    for (int x = 0; x < kWindowWidth; ++x) {
      int level = int(std::lround(Opacity(x, y) * 255));
      img.at(x, y) = Rgb(level, level, level);
    }
  return img;
}

// Appends a little-endian integer of the given byte count.
void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// Writes a 24-bit bottom-up BMP with a BITMAPINFOHEADER.
bool WriteBmp(const std::filesystem::path& path, Image& img) {
  const uint32_t stride = (uint32_t(kWindowWidth) * 3 + 3) & ~3u;
  const uint32_t data = stride * kWindowHeight;
  std::string out;
  out += "BM";
  Put(out, 54 + data, 4);
  Put(out, 0, 4);
  Put(out, 54, 4);
  Put(out, 40, 4);
  Put(out, kWindowWidth, 4);
  Put(out, kWindowHeight, 4);
  Put(out, 1, 2);
  Put(out, 24, 2);
  Put(out, 0, 4);  // BI_RGB
  Put(out, data, 4);
  Put(out, 2835, 4);  // 72 dpi
  Put(out, 2835, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  for (int y = kWindowHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWindowWidth; ++x) {
      uint32_t p = img.at(x, y);
      out.push_back(char(Blue(p)));
      out.push_back(char(Green(p)));
      out.push_back(char(Red(p)));
    }
    out.append(stride - uint32_t(kWindowWidth) * 3, '\0');
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(out.data(), std::streamsize(out.size()));
  return bool(file);
}

// The control line "name,x,y,w,h" for a rectangle.
std::string Line(const std::string& key, const std::string& name, const Box& b) {
  return key + "=" + name + "," + std::to_string(b.x) + "," + std::to_string(b.y) + "," +
         std::to_string(b.w) + "," + std::to_string(b.h);
}

// Writes an image as an 8-bit RGBA PNG with the given opacity (or opaque).
bool WritePng(const std::filesystem::path& path, const Image& img, const Image* alpha) {
  TBitmap pixels(kWindowWidth, kWindowHeight);
  std::vector<uint8_t> opacity(img.px.size(), 255);
  for (size_t i = 0; i < img.px.size(); ++i) {
    pixels.Data()[i] = img.px[i];
    if (alpha) opacity[i] = uint8_t(Red(alpha->px[i]));
  }
  std::string why;
  return WriteWholeFile(path.string(), EncodePng(pixels, opacity), why);
}

// The description file naming the images and placing the controls.
std::string Description(bool png) {
  auto n = [](int v) { return "," + std::to_string(v); };
  std::string s;
  s += "; Portico demo skin, written by tools/make_demo_skin.cpp - do not edit by hand.\n";
  s += "[SCREEN]\n";
  if (png) {
    s += "; soft edges and a drop shadow in the alpha channel of the normal image\n";
    s += "Normal=normal.png\nOver=over.png\nDown=down.png\nDisable=disable.png\n";
  } else {
    s += "Normal=normal.bmp\nOver=over.bmp\nDown=down.bmp\nDisable=disable.bmp\nMask=mask.bmp\n";
    s += "; soft edges and a drop shadow where a compositing manager runs\n";
    s += "Alpha=alpha.bmp\n";
  }
  s += "[BUTTONPOS]\n";
  s += "; name,x,y,width,height[,centreX,centreY,outerRadius,innerRadius[,arcStartX,arcStartY,arcEndX,arcEndY]]\n";
  s += Line("b1", "Install", kInstall) + "\n";
  s += Line("b2", "Exit", kExit) + "\n";
  s += Line("b3", "URL", kUrl) + "\n";
  s += Line("b4", "VersionCaption", kVersion) + "\n";
  s += Line("b5", "Dial", kDial) + n(kDialX) + n(kDialY) + n(kDialOuter) + n(kDialInner) + "\n";
  s += Line("b6", "Gauge", kGauge) + n(kGaugeX) + n(kGaugeY) + n(kGaugeOuter) + n(kGaugeInner) +
       n(kArcStartX) + n(kArcStartY) + n(kArcEndX) + n(kArcEndY) + "\n";
  s += "[INFORMATION]\n";
  s += "URL=https://example.org/\n";
  s += "; what a screen reader announces\n";
  s += "[ACCESSIBILITY]\n";
  s += "Window=Portico demo setup\n";
  s += "Install=Install the demo\n";
  s += "Exit=Quit setup\n";
  s += "URL=Open example.org in your browser\n";
  s += "Dial=Dial\n";
  s += "Gauge=Gauge\n";
  return s;
}

}  // namespace
}  // namespace portico

// Writes every file of the demo skin into the folder.
int main(int argc, char** argv) {
  using namespace portico;
  std::filesystem::path folder = "demo";
  bool png = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--png")
      png = true;
    else
      folder = argv[i];
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    std::cerr << "make_demo_skin: cannot create " << folder << ": " << ec.message() << "\n";
    return 1;
  }
  struct Out {
    const char* name;
    Image image;
  } outs[] = {{"normal.bmp", Render(Look::Normal)},   {"over.bmp", Render(Look::Over)},
              {"down.bmp", Render(Look::Down)},       {"disable.bmp", Render(Look::Disable)},
              {"mask.bmp", RenderMask()},                 {"alpha.bmp", RenderAlpha()}};
  for (Out& o : outs) {
    const std::string name = o.name;
    std::filesystem::path path = folder / name;
    bool written = false;
    if (!png)
      written = WriteBmp(path, o.image);
    else if (name == "mask.bmp" || name == "alpha.bmp")
      continue;  // the normal image's alpha channel holds both
    else
      written = WritePng(path.replace_extension(".png"), o.image, name == "normal.bmp" ? &outs[5].image : nullptr);
    if (!written) {
      std::cerr << "make_demo_skin: cannot write " << path << "\n";
      return 1;
    }
  }
  std::ofstream ini(folder / "portico.ini", std::ios::binary | std::ios::trunc);
  ini << Description(png);
  if (!ini) {
    std::cerr << "make_demo_skin: cannot write " << (folder / "portico.ini") << "\n";
    return 1;
  }
  std::cout << "demo skin written to " << folder.string() << "\n";
  return 0;
}
