#include "app/start_prefetch.h"

#include <atomic>
#include <thread>

#include "app/unit_install.h"
#include "app/window_shape.h"
#include "classlib/ini_file.h"
#include "classlib/params.h"
#include "graphics/pixel_recycling.h"
#include "system/thread_priority.h"
#include "skin/load_image_file.h"

namespace portico {

namespace {

struct TImageJob {
  std::string Path;
  bool ControlsOnly;
};

struct TWork {
  std::vector<TImageJob> Images;
  std::vector<TRect> ControlAreas;
  std::string MaskPath;
};

std::thread& WorkerThread() {
  static std::thread thread;
  return thread;
}

std::atomic<bool>& StopRequested() {
  static std::atomic<bool> stop{false};
  return stop;
}

std::unique_ptr<TBitmap> DecodeAhead(const TImageJob& job, const std::vector<TRect>& areas) {
  try {
    return DecodeImageFile(job.Path, job.ControlsOnly ? &areas : nullptr);
  } catch (...) {
    // The loader decodes it again and meets the error where it should.
    return nullptr;
  }
}

// Decodes the images kept whole (controls_only false) or those kept in part.
void DecodeImages(const TWork& work, bool controls_only) {
  for (const TImageJob& job : work.Images) {
    if (job.ControlsOnly != controls_only) continue;
    std::unique_ptr<TBitmap> image;
    if (!StopRequested()) image = DecodeAhead(job, work.ControlAreas);
    if (image)
      PrefetchedImages().Provide(job.Path, std::move(image));
    else
      PrefetchedImages().Provide(job.Path, std::nullopt);
  }
}

void BuildMask(const TWork& work) {
  const std::string name = MaskPrefetchName(work.MaskPath, MaskKeyColor);
  if (StopRequested()) return PrefetchedMaskRegions().Provide(name, std::nullopt);
  try {
    TMaskOutcome outcome;
    outcome.Region = ReadMaskRegion(work.MaskPath, MaskKeyColor, &outcome.Why);
    PrefetchedMaskRegions().Provide(name, std::move(outcome));
  } catch (...) {
    PrefetchedMaskRegions().Provide(name, std::nullopt);
  }
}

void DoWork(const TWork& work) {
  // The first frame waits longest for the font set-up; decoding has time
  // to spare and yields to it.
  LowerThisThreadsPriority();
  // The mask comes between: once its outline is built, its pixel storage
  // waits (pixel_recycling.h) for the frame copy the loader makes after
  // the last image, and the images kept in part need none.
  DecodeImages(work, false);
  BuildMask(work);
  DecodeImages(work, true);
}

}  // namespace

TStartPrefetch::TStartPrefetch() {
  if (WorkerThread().joinable() || ParamCount() != 2 || !UsableDescriptionName(ParamStr(1))) return;
  TWork work;
  try {
    // The description is read again by the loader a few milliseconds later.
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
  for (const TImageJob& job : work.Images) PrefetchedImages().Announce(job.Path);
  PrefetchedMaskRegions().Announce(MaskPrefetchName(work.MaskPath, MaskKeyColor));
  StopRequested() = false;
  SetPixelRecycling(true);
  try {
    WorkerThread() = std::thread([work = std::move(work)] { DoWork(work); });
  } catch (...) {
    // No thread: the loader does all of it, as it would anyway.
    PrefetchedImages().Clear();
    PrefetchedMaskRegions().Clear();
  }
}

TStartPrefetch::~TStartPrefetch() { Finish(); }

void TStartPrefetch::Finish() {
  StopRequested() = true;
  if (WorkerThread().joinable()) WorkerThread().join();
  PrefetchedImages().Clear();
  PrefetchedMaskRegions().Clear();
  SetPixelRecycling(false);
}

}  // namespace portico
