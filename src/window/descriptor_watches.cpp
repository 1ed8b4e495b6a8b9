#include "window/descriptor_watches.h"

#include "window/window_system.h"

namespace portico {

int TDescriptorWatches::Watch(int fd, bool readable, bool writable, std::function<void(unsigned)> ready) {
  if (fd < 0 || !ready) return 0;
  const int id = next_id_++;
  watches_[id] = TWatch{fd, readable, writable, std::move(ready)};
  return id;
}

void TDescriptorWatches::AppendPollFds(std::vector<pollfd>& fds) {
  polled_.clear();
  for (const auto& [id, watch] : watches_) {
    fds.push_back({watch.Fd, static_cast<short>((watch.Readable ? POLLIN : 0) | (watch.Writable ? POLLOUT : 0)), 0});
    polled_.push_back(id);
  }
}

bool TDescriptorWatches::Dispatch(const std::vector<pollfd>& fds, size_t first) {
  // A copy of the ids: callbacks may change the watches.
  const std::vector<int> ids = polled_;
  bool ran = false;
  for (size_t i = 0; i < ids.size() && first + i < fds.size(); ++i) {
    const short got = fds[first + i].revents;
    auto it = watches_.find(ids[i]);
    if (got == 0 || it == watches_.end()) continue;
    const unsigned ready = ((got & POLLIN) ? WindowSystem::DescriptorReadable : 0u) |
                           ((got & POLLOUT) ? WindowSystem::DescriptorWritable : 0u) |
                           ((got & (POLLERR | POLLHUP | POLLNVAL)) ? WindowSystem::DescriptorFailed : 0u);
    std::function<void(unsigned)> callback = it->second.Ready;  // may end its own watch
    callback(ready);
    ran = true;
  }
  return ran;
}

}  // namespace portico
