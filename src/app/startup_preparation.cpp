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

// What the threads read from the description before they start.
struct TWork {
  std::vector<TImageJob> Images;
  std::vector<TRect> ControlAreas;
  std::string MaskPath;
};

void DecodeImage(const TWork& work, const TImageJob& job, TPreparedImages& images, const std::atomic<bool>& stop) {
  images.Provide(job.Path, stop ? std::nullopt
                                : PrepareImageFile(job.Path, job.ControlsOnly ? &work.ControlAreas : nullptr));
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

// The work ahead as jobs that the decoding threads take in turn: the
// images kept whole, the mask, then the images kept in part. Once its
// outline is built, the mask's pixel storage waits in the pool for the
// frame copy the loader makes after the last image.
class TJobs {
 public:
  explicit TJobs(TWork work) : work_(std::move(work)) {
    for (const TImageJob& job : work_.Images)
      if (!job.ControlsOnly) order_.push_back(&job);
    order_.push_back(nullptr);  // the mask
    for (const TImageJob& job : work_.Images)
      if (job.ControlsOnly) order_.push_back(&job);
  }
  void Run(TPreparedImages& images, TPreparedMasks& masks, const std::atomic<bool>& stop) {
    for (size_t i; (i = next_++) < order_.size();) {
      if (order_[i])
        DecodeImage(work_, *order_[i], images, stop);
      else
        BuildMask(work_, masks, stop);
    }
  }

 private:
  const TWork work_;
  std::vector<const TImageJob*> order_;
  std::atomic<size_t> next_{0};
};

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
    auto jobs = std::make_shared<TJobs>(std::move(work));
    // The first frame waits longest for the font set-up; decoding has
    // time to spare and yields to it. Images that decode slowly (PNG)
    // would keep the loader waiting if one thread did them all.
    for (std::thread* worker : {&worker_, &second_worker_})
      *worker = std::thread([this, jobs] {
        LowerThisThreadsPriority();
        jobs->Run(images_, masks_, stop_);
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
  if (second_worker_.joinable()) second_worker_.join();
}

void TStartupPreparation::Finish() {
  stop_ = true;
  WaitForDecoding();
  images_.Clear();
  masks_.Clear();
  pixels_.Uninstall();
}

}  // namespace portico
