// The controls as the check steps share them.
#include <map>

#include "skintool/check_steps.h"

namespace portico {

std::vector<TCheckedControl> CheckedControls(const TCheckInput& in) {
  std::map<const TSkinButton*, int> lines;
  for (const TProbedLine& p : in.Probe.Lines)
    if (p.Button) lines[p.Button] = p.Line;
  std::vector<TCheckedControl> controls;
  for (const auto& b : in.Probe.Skin->Buttons)
    controls.push_back(TCheckedControl{b.get(), lines[b.get()]});
  return controls;
}

const THitMap& ControlHitMap(const TCheckInput& in) {
  if (!in.HitMap) {
    std::vector<const TPointerControl*> pointers;
    for (const auto& b : in.Probe.Skin->Buttons) pointers.push_back(b.get());
    const TBitmap& normal = *in.Probe.Skin->BitmapNormal;
    in.HitMap = std::make_unique<THitMap>(pointers, normal.Width(), normal.Height());
  }
  return *in.HitMap;
}

}  // namespace portico
