#include "skintool/watch_session.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/unit_install.h"
#include "skintool/pointer_report.h"
#include "skintool/skin_check.h"
#include "skintool/skin_probe.h"
#include "skintool/status_line.h"

namespace portico {

namespace {
// How often the launcher's window is looked for while it runs.
constexpr int64_t FollowIntervalMs = 100;
// Changes that come this close together are one save.
constexpr int64_t SettleMs = 150;
// How long a restored position may take to show before it is taken as is.
constexpr int64_t RestoreTimeoutMs = 3000;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// "a.bmp", "a.bmp and b.bmp", "a.bmp, b.bmp and c.bmp": the files by their names.
std::string NameList(const std::vector<std::string>& paths) {
  std::string text;
  for (size_t i = 0; i < paths.size(); ++i)
    text += (i == 0 ? "" : i + 1 == paths.size() ? " and " : ", ") + FileNameOf(paths[i]);
  return text;
}

class TWatchSession {
 public:
  TWatchSession(const TWatchOptions& options, TProcessWindows& windows, TFileWatch& files)
      : options_(options), windows_(windows), files_(files) {}

  int Run() {
    CheckAndWatch();
    if (!StartLauncher()) return 2;
    for (;;) {
      if (child_) {
        if (const std::optional<int> code = ChoiceMade()) {
          Say("the launcher ended with exit code " + std::to_string(*code));
          return *code;
        }
        if (child_) FollowWindow();
      }
      if (!files_.WaitForChange(child_ ? FollowIntervalMs : 500)) continue;
      while (files_.WaitForChange(SettleMs)) {
      }
      const std::vector<std::string> changed = files_.TakeChanged();
      Say((changed.empty() ? std::string("a file of the skin") : NameList(changed)) +
          " changed; restarting the launcher");
      if (child_) {
        FollowWindow();
        child_->Stop();
        child_.reset();
      }
      CheckAndWatch();
      if (!StartLauncher()) return 2;
    }
  }

 private:
  void Say(const std::string& text) {
    status_.Break();
    std::printf("portico-skin: %s\n", text.c_str());
    std::fflush(stdout);
  }

  // Prints the findings and watches every file the skin names now.
  void CheckAndWatch() {
    status_.Break();
    std::vector<std::string> named;
    const std::vector<TFinding> findings = CheckSkin(options_.Description, &named);
    report_ = std::make_unique<TPointerReport>(options_.Description);
    const std::string text = FormatFindingsText(options_.Description, findings);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (findings.empty()) Say(options_.Description + ": no findings");
    std::fflush(stdout);
    files_.Watch(named);
  }

  bool StartLauncher() {
    // The launcher runs in the skin's folder, as installers start it.
    std::string why;
    child_ = TChildProcess::Start(options_.Launcher,
                                  {FileNameOf(options_.Description), options_.Version},
                                  SkinFolderOf(options_.Description), why);
    if (!child_) Say("cannot start the launcher " + options_.Launcher + ": " + why);
    seen_ = false;
    if (last_position_) {
      restore_ = last_position_;
      restore_deadline_ = NowMs() + RestoreTimeoutMs;
    }
    return child_ != nullptr;
  }

  // Remembers where the user keeps the window; puts a restarted one back there.
  void FollowWindow() {
    const std::optional<TPoint> at = windows_.WindowPosition(child_->Id(), FormInstallCaption);
    if (!at) return;
    seen_ = true;
    if (restore_) {
      // Until the window manager has moved it, the window's first place is no news.
      if (*at == *restore_ || NowMs() > restore_deadline_)
        restore_.reset();
      else
        windows_.MoveWindow(child_->Id(), FormInstallCaption, *restore_);
      if (restore_) return;
    }
    last_position_ = at;
    Measure();
  }

  // The launcher's scale factor when it is new, and what lies under the
  // pointer on the status line.
  void Measure() {
    const std::optional<TProcessWindows::TPointerOver> pointer =
        windows_.PointerOver(child_->Id(), FormInstallCaption);
    if (!pointer) return;
    const std::optional<int> scale = report_->ScaleOf(pointer->Size);
    if (scale && scale != shown_scale_) {
      Say("the launcher runs at scale factor " + std::to_string(*scale) + " (" +
          std::to_string(pointer->Size.X) + " x " + std::to_string(pointer->Size.Y) + " pixels)");
      shown_scale_ = scale;
    }
    status_.Show(report_->Describe(pointer->At, pointer->Size));
  }

  // The launcher's exit code when it ended by the user's choice; a launcher
  // that never showed its window ended quietly, and the watch goes on.
  std::optional<int> ChoiceMade() {
    const std::optional<TProcessEnd> end = child_->Poll();
    if (!end) return std::nullopt;
    child_.reset();
    if (end->Exited && (end->Code == 1 || (end->Code == 0 && seen_))) return end->Code;
    Say(end->Exited ? "the launcher ended without showing the skin; waiting for a change"
                    : "the launcher was ended from outside; waiting for a change");
    return std::nullopt;
  }

  const TWatchOptions& options_;
  TProcessWindows& windows_;
  TFileWatch& files_;
  std::unique_ptr<TChildProcess> child_;
  std::unique_ptr<TPointerReport> report_;
  TStatusLine status_{stdout};
  std::optional<int> shown_scale_;
  bool seen_ = false;
  std::optional<TPoint> last_position_;
  std::optional<TPoint> restore_;
  int64_t restore_deadline_ = 0;
};
}  // namespace

int RunWatch(const TWatchOptions& options, TProcessWindows& windows, TFileWatch& files) {
  return TWatchSession(options, windows, files).Run();
}

}  // namespace portico
