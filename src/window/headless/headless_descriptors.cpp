// Watched descriptors of the headless window system: real descriptors,
// looked at without waiting, since the clock is the test's.
#include <functional>
#include <utility>
#include <vector>

#include "window/headless/headless_window_system.h"


namespace portico {

#if defined(_WIN32)
int HeadlessWindowSystem::WatchDescriptor(int, bool, bool, std::function<void(unsigned)>) { return 0; }
void HeadlessWindowSystem::UnwatchDescriptor(int) {}
bool HeadlessWindowSystem::RunReadyDescriptors() { return false; }
#else
int HeadlessWindowSystem::WatchDescriptor(int fd, bool readable, bool writable, std::function<void(unsigned)> ready) {
  return descriptor_watches_.Watch(fd, readable, writable, std::move(ready));
}

void HeadlessWindowSystem::UnwatchDescriptor(int id) { descriptor_watches_.Unwatch(id); }

bool HeadlessWindowSystem::RunReadyDescriptors() {
  if (descriptor_watches_.Empty()) return false;
  std::vector<pollfd> fds;
  descriptor_watches_.AppendPollFds(fds);
  return poll(fds.data(), fds.size(), 0) > 0 && descriptor_watches_.Dispatch(fds, 0);
}
#endif

}  // namespace portico
