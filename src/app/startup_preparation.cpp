#include "app/startup_preparation.h"

#include <memory>

#include "app/unit_install.h"
#include "classlib/ini_file.h"
#include "classlib/params.h"
#include "system/thread_priority.h"

namespace portico {

namespace {

struct TImageJob {
  std::string Path;
  bool ControlsOnly;
};

// What the thread reads from the description before it starts.
struct TWork {
  std::vector<TImageJob> Images;
  std::vector<TRect> ControlAreas;
  std::string MaskPath;
};

// Decodes the images kept whole (controls_only false) or those kept in part.
void DecodeImages(const TWork& work, bool controls_only, TPreparedImages& images,
                  const std::atomic<bool>& stop) {
  for (const TImageJob& job : work.Images) {
    if (job.ControlsOnly != controls_only) continue;
    images.Provide(job.Path, stop ? std::nullopt
                                  : PrepareImageFile(job.Path, job.ControlsOnly ? &work.ControlAreas : nullptr));
  }
}

void BuildMask(const TWork& work, TPreparedMasks& masks, const std::atomic<bool>& stop) {
  const std::string name = MaskPrefetchName(work.MaskPath, MaskKeyColor);
  if (stop) return masks.Provide(name, std::nullopt);
  try {
    masks.Provide(name, PrepareMaskRegion(work.MaskPath, MaskKeyColor));
  } catch (...) {
    // The loader builds it again and meets the error where it should.
    masks.Provide(name, std::nullopt);
  }
}

}  // namespace

TStartupPreparation::TStartupPreparation() = default;

TStartupPreparation::~TStartupPreparation() { Finish(); }

void TStartupPreparation::StartDecoding() {
  if (worker_.joinable() || ParamCount() != 2 || !UsableDescriptionName(ParamStr(1))) return;
  TWork work;
  try {
    // The description is read again by the loader a few milliseconds
    // later, which takes the results only where they still hold.
    const TIniFile ini(LauncherSkinFolder + ParamStr(1));
    // The normal image stays whole: the frame and the caption colours are
    // taken from all of it.
    for (const char* key : {"Normal", "Over", "Down", "Disable"}) {
      std::string path = SkinImagePath(ini, LauncherSkinFolder, key);
      if (!path.empty()) work.Images.push_back(TImageJob{std::move(path), key != std::string("Normal")});
    }
    work.ControlAreas = ControlAreas(ini);
    work.MaskPath = SkinMaskPath(ini, LauncherSkinFolder);
  } catch (...) {
    return;  // the loader reads it all itself
  }
  // Announced before the thread starts: the loader waits for each of them.
  for (const TImageJob& job : work.Images) images_.Announce(job.Path);
  masks_.Announce(MaskPrefetchName(work.MaskPath, MaskKeyColor));
  stop_ = false;
  pixels_.Install();
  try {
    auto shared_work = std::make_shared<const TWork>(std::move(work));
    // The first frame waits longest for the font set-up; decoding has
    // time to spare and yields to it. Images that decode slowly (PNG)
    // would keep the loader waiting if one thread did them all, so the
    // images kept in part have a thread of their own.
    worker_ = std::thread([this, shared_work] {
      LowerThisThreadsPriority();
      DecodeImages(*shared_work, false, images_, stop_);
      BuildMask(*shared_work, masks_, stop_);
    });
    parts_worker_ = std::thread([this, shared_work] {
      LowerThisThreadsPriority();
      DecodeImages(*shared_work, true, images_, stop_);
    });
  } catch (...) {
    // No thread (or only one): the loader does all of it, as it would anyway.
    stop_ = true;
    WaitForDecoding();
    stop_ = false;
    images_.Clear();
    masks_.Clear();
  }
}

void TStartupPreparation::WaitForDecoding() {
  if (worker_.joinable()) worker_.join();
  if (parts_worker_.joinable()) parts_worker_.join();
}

void TStartupPreparation::Finish() {
  stop_ = true;
  WaitForDecoding();
  images_.Clear();
  masks_.Clear();
  pixels_.Uninstall();
}

}  // namespace portico
