// Watching files on Linux with inotify. Each file's folder is watched, not
// the file: editors save by writing a new file and renaming it over the
// old one, which a watch on the file itself would lose.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <utility>

#include "system/tool/file_watch.h"

namespace portico {

namespace {
constexpr uint32_t Events =
    IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

struct TFileWatch::TImpl {
  int Fd = -1;
  std::string Error;
  // watch descriptor -> lower-case file name -> the path as given
  std::map<int, std::map<std::string, std::string>> Names;
  std::vector<std::string> Changed;
};

TFileWatch::TFileWatch() : impl_(std::make_unique<TImpl>()) {
  impl_->Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (impl_->Fd < 0) impl_->Error = std::strerror(errno);
}

TFileWatch::~TFileWatch() {
  if (impl_->Fd >= 0) close(impl_->Fd);
}

bool TFileWatch::Ok() const { return impl_->Fd >= 0; }
const std::string& TFileWatch::Error() const { return impl_->Error; }

void TFileWatch::Watch(const std::vector<std::string>& paths) {
  if (!Ok()) return;
  for (const auto& entry : impl_->Names) inotify_rm_watch(impl_->Fd, entry.first);
  impl_->Names.clear();
  for (const std::string& path : paths) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // One descriptor per folder: adding the same folder again returns it.
    const int wd = inotify_add_watch(impl_->Fd, folder.c_str(), Events);
    if (wd >= 0) impl_->Names[wd].emplace(Lower(name), path);
  }
}

bool TFileWatch::WaitForChange(int64_t timeout_ms) {
  if (!Ok()) return false;
  const int64_t deadline = NowMs() + timeout_ms;
  alignas(inotify_event) char buffer[16 * 1024];
  for (;;) {
    const int64_t left = deadline - NowMs();
    pollfd p{impl_->Fd, POLLIN, 0};
    const int ready = poll(&p, 1, int(left > 0 ? left : 0));
    if (ready < 0 && errno != EINTR) return false;
    bool changed = false;
    ssize_t n;
    while ((n = read(impl_->Fd, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        at += sizeof(inotify_event) + event->len;
        const auto names = impl_->Names.find(event->wd);
        if (names == impl_->Names.end() || event->len == 0) continue;
        const auto name = names->second.find(Lower(event->name));
        if (name == names->second.end()) continue;
        changed = true;
        if (std::find(impl_->Changed.begin(), impl_->Changed.end(), name->second) == impl_->Changed.end())
          impl_->Changed.push_back(name->second);
      }
    }
    if (changed) return true;
    if (NowMs() >= deadline) return false;
  }
}

std::vector<std::string> TFileWatch::TakeChanged() { return std::exchange(impl_->Changed, {}); }

}  // namespace portico
