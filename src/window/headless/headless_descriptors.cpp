// Watched descriptors of the headless window system: real descriptors,
// looked at without waiting, since the clock is the test's.
#include <functional>
#include <utility>
#include <vector>

#include "window/headless/headless_window_system.h"

#if !defined(_WIN32)
#include <poll.h>
#endif

namespace portico {

#if defined(_WIN32)
int HeadlessWindowSystem::WatchDescriptor(int, bool, bool, std::function<void(unsigned)>) { return 0; }
void HeadlessWindowSystem::UnwatchDescriptor(int) {}
bool HeadlessWindowSystem::RunReadyDescriptors() { return false; }
#else
int HeadlessWindowSystem::WatchDescriptor(int fd, bool readable, bool writable, std::function<void(unsigned)> ready) {
  if (fd < 0 || !ready) return 0;
  const int id = next_descriptor_watch_++;
  descriptor_watches_[id] = DescriptorWatch{fd, readable, writable, std::move(ready)};
  return id;
}

void HeadlessWindowSystem::UnwatchDescriptor(int id) { descriptor_watches_.erase(id); }

bool HeadlessWindowSystem::RunReadyDescriptors() {
  if (descriptor_watches_.empty()) return false;
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const auto& [id, watch] : descriptor_watches_) {
    fds.push_back({watch.Fd, static_cast<short>((watch.Readable ? POLLIN : 0) | (watch.Writable ? POLLOUT : 0)), 0});
    ids.push_back(id);
  }
  if (poll(fds.data(), fds.size(), 0) <= 0) return false;
  bool ran = false;
  for (size_t i = 0; i < fds.size(); ++i) {
    const short got = fds[i].revents;
    auto it = descriptor_watches_.find(ids[i]);
    if (got == 0 || it == descriptor_watches_.end()) continue;
    const unsigned ready = ((got & POLLIN) ? DescriptorReadable : 0u) | ((got & POLLOUT) ? DescriptorWritable : 0u) |
                           ((got & (POLLERR | POLLHUP | POLLNVAL)) ? DescriptorFailed : 0u);
    std::function<void(unsigned)> callback = it->second.Ready;  // may end its own watch
    callback(ready);
    ran = true;
  }
  return ran;
}
#endif

}  // namespace portico
