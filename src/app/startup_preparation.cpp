#include "/tmp/trace.h"
#include "app/startup_preparation.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "app/unit_install.h"
#include "classlib/ini_file.h"
#include "classlib/params.h"
#include "skin/scaled_image.h"
#include "system/thread_priority.h"

namespace portico {

struct TStartupImageJob {
  std::string Path;
  bool ControlsOnly;
};

// What the threads read from the description before they start.
struct TStartupWork {
  std::vector<TStartupImageJob> Images;
  std::vector<TRect> ControlAreas;
  std::string MaskPath;
};

namespace {

using TImageJob = TStartupImageJob;
using TWork = TStartupWork;

// An image enlarged k times for the screen, unless an image drawn for that
// scale takes its place (the loader decodes that one itself).
void EnlargeForScale(const TImageJob& job, std::optional<TPreparedImage>& image, int k) {
  std::string why;
  if (!image || k <= 1 || !ImageFileAtScale(job.Path, k, why).empty()) return;
  try {
    EnlargePreparedImage(*image, k, job.Path);
  } catch (...) {
    image.reset();  // the loader meets the error itself
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

// The work ahead as jobs that the decoding threads take in turn: the
// images kept whole, the mask, then the images kept in part. Once its
// outline is built, the mask's pixel storage waits in the pool for the
// frame copy the loader makes after the last image. The images are
// enlarged for the screen here too, rather than in the loader while the
// first frame waits; one decoded before the window system told the scale
// waits for it while the threads go on with the next jobs.
class TStartupJobs {
 public:
  TStartupJobs(TWork work, TPreparedImages& images, TPreparedMasks& masks, const std::atomic<bool>& stop)
      : work_(std::move(work)), images_(images), masks_(masks), stop_(stop) {
    for (const TImageJob& job : work_.Images)
      if (!job.ControlsOnly) order_.push_back(&job);
    order_.push_back(nullptr);  // the mask
    for (const TImageJob& job : work_.Images)
      if (job.ControlsOnly) order_.push_back(&job);
  }

  void Run() {
    for (;;) {
      if (EnlargeOneWaiting()) continue;
      if (const size_t i = next_++; i < order_.size()) {
        if (order_[i])
        { TRACE(order_[i]->Path.c_str());  Decode(*order_[i]); TRACE("  done"); }
        else
          BuildMask(work_, masks_, stop_);
        continue;
      }
      // Nothing left to decode: what waits for the scale is done once it
      // is known, by whichever thread gets to it.
      std::unique_lock<std::mutex> hold(mutex_);
      changed_.wait(hold, [this] { return scale_ != 0 || released_; });
      if (waiting_.empty()) return;
    }
  }

  // The first call counts. At 1 the waiting images need nothing more.
  void SetScale(int factor) {
    std::unique_lock<std::mutex> hold(mutex_);
    if (scale_ != 0) return;
    scale_ = std::max(factor, 1);
    ProvideWaitingAsTheyAre(hold);
  }

  // The images stay as decoded from here on (the work ahead ends, or is
  // waited for before the loader runs): the loader enlarges what it takes.
  void Release() {
    std::unique_lock<std::mutex> hold(mutex_);
    released_ = true;
    ProvideWaitingAsTheyAre(hold);
  }

 private:
  using TWaiting = std::pair<const TImageJob*, std::optional<TPreparedImage>>;

  void Decode(const TImageJob& job) {
    std::optional<TPreparedImage> image =
        stop_ ? std::nullopt : PrepareImageFile(job.Path, job.ControlsOnly ? &work_.ControlAreas : nullptr);
    int k;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (image && scale_ == 0 && !released_) {
        waiting_.emplace_back(&job, std::move(image));
        return;
      }
      k = released_ ? 1 : scale_;
    }
    EnlargeForScale(job, image, k);
    images_.Provide(job.Path, std::move(image));
  }

  bool EnlargeOneWaiting() {
    TWaiting item;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (scale_ <= 1 || released_ || waiting_.empty()) return false;
      item = std::move(waiting_.front());
      waiting_.pop_front();
    }
    if (!stop_) EnlargeForScale(*item.first, item.second, scale_);
    images_.Provide(item.first->Path, std::move(item.second));
    TRACE("  enlarged");
    return true;
  }

  void ProvideWaitingAsTheyAre(std::unique_lock<std::mutex>& hold) {
    std::deque<TWaiting> now;
    if (scale_ == 1 || released_) now.swap(waiting_);
    hold.unlock();
    changed_.notify_all();
    for (TWaiting& item : now) images_.Provide(item.first->Path, std::move(item.second));
  }

  const TWork work_;
  TPreparedImages& images_;
  TPreparedMasks& masks_;
  const std::atomic<bool>& stop_;
  std::vector<const TImageJob*> order_;
  std::atomic<size_t> next_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  int scale_ = 0;  // 0 until the window system tells it
  bool released_ = false;
  std::deque<TWaiting> waiting_;
};

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
    jobs_ = std::make_shared<TStartupJobs>(std::move(work), images_, masks_, stop_);
    // The first frame waits longest for the font set-up; decoding has
    // time to spare and yields to it. Images that decode slowly (PNG)
    // would keep the loader waiting if one thread did them all.
    for (std::thread* worker : {&worker_, &second_worker_})
      *worker = std::thread([jobs = jobs_] {
        LowerThisThreadsPriority();
        jobs->Run();
      });
  } catch (...) {
    // No thread (or only one): the loader does all of it, as it would anyway.
    stop_ = true;
    WaitForDecoding();
    stop_ = false;
    jobs_.reset();
    images_.Clear();
    masks_.Clear();
  }
}

void TStartupPreparation::SetScale(int factor) {
  if (jobs_) jobs_->SetScale(factor);
}

void TStartupPreparation::WaitForDecoding() {
  if (jobs_) jobs_->Release();
  if (worker_.joinable()) worker_.join();
  if (second_worker_.joinable()) second_worker_.join();
}

void TStartupPreparation::Finish() {
  stop_ = true;
  WaitForDecoding();
  jobs_.reset();
  images_.Clear();
  masks_.Clear();
  pixels_.Uninstall();
}

}  // namespace portico
