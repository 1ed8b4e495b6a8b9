#include "skintool/skeleton_layout.h"

#include <algorithm>

namespace portico {

std::optional<TPoint> ParseSkeletonSize(const std::string& text) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  // At most five digits a side: no overflow, and anything longer is too large anyway.
  const auto number = [](const std::string& digits) -> std::optional<int32_t> {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    int32_t n = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + (c - '0');
    }
    return n;
  };
  const std::optional<int32_t> w = number(text.substr(0, x)), h = number(text.substr(x + 1));
  if (!w || !h || *w < MinSkeletonWidth || *h < MinSkeletonHeight || *w > MaxSkeletonSide ||
      *h > MaxSkeletonSide)
    return std::nullopt;
  return TPoint{*w, *h};
}

int32_t SkeletonMargin(int32_t width, int32_t height) {
  return std::clamp(std::min(width, height) / 16, 16, 48);
}

std::vector<TSkeletonControl> LayOutSkeleton(int32_t w, int32_t h) {
  const int32_t m = SkeletonMargin(w, h);
  const int32_t bw = std::clamp(w / 5, 72, 180), bh = std::clamp(h / 9, 24, 48);
  const int32_t gap = std::max(m / 2, 8);
  const int32_t bottom = h - m;
  const TRect exit{w - m - bw, bottom - bh, w - m, bottom};
  const TRect install{exit.Left - gap - bw, exit.Top, exit.Left - gap, bottom};
  // The link a line of text high, level with the buttons' middle.
  const int32_t lh = std::clamp(bh * 2 / 3, 20, 32);
  const int32_t link_right = std::max(install.Left - gap, m + 40);
  const TRect url{m, exit.Top + (bh - lh) / 2, std::min(m + std::clamp(w / 4, 60, 200), link_right),
                  exit.Top + (bh - lh) / 2 + lh};
  const int32_t vw = std::clamp(w / 4, 90, 200), vh = std::clamp(h / 12, 22, 32);
  const TRect version{w - m - vw, m, w - m, m + vh};
  return {{"Install", install}, {"Exit", exit}, {"URL", url}, {"VersionCaption", version}};
}

TSkeletonFiles SkeletonFileNames(const std::string& name) {
  return {name + ".ini",      name + "-normal.png",  name + "-over.png",
          name + "-down.png", name + "-disable.png", name + "-mask.png"};
}

std::string SkeletonDescription(const std::string& name, const TSkeletonFiles& files,
                                const std::vector<TSkeletonControl>& controls) {
  std::string text =
      "; A new skin: paint over the guide images (keep each control where its outline is),\n"
      "; then run: portico-skin check " + files.Description + "\n"
      "[SCREEN]\n"
      "Normal=" + files.Normal + "\n"
      "Over=" + files.Over + "\n"
      "Down=" + files.Down + "\n"
      "Disable=" + files.Disable + "\n"
      "; white is cut away, every other colour is window\n"
      "Mask=" + files.Mask + "\n"
      "[BUTTONPOS]\n"
      "; name,x,y,width,height[,centreX,centreY,outerRadius,innerRadius[,arcStartX,arcStartY,arcEndX,arcEndY]]\n";
  int n = 1;
  for (const TSkeletonControl& c : controls) {
    text += 'b';
    text += std::to_string(n++);
    text += '=';
    text += c.Name;
    for (int32_t v : {c.Bounds.Left, c.Bounds.Top, c.Bounds.Width(), c.Bounds.Height()}) {
      text += ',';
      text += std::to_string(v);
    }
    text += '\n';
  }
  text +=
      "[INFORMATION]\n"
      "URL=https://example.org/\n"
      "; what a screen reader announces\n"
      "[ACCESSIBILITY]\n"
      "Window=" + name + " setup\n"
      "Install=Install " + name + "\n"
      "Exit=Quit setup\n"
      "URL=Open the product's web page\n";
  return text;
}

}  // namespace portico
