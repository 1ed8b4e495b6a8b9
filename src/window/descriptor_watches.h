// The extra descriptors a POSIX window system waits on beside its own
// (WindowSystem::WatchDescriptor), polled together with them.
#pragma once
#include <poll.h>

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

namespace portico {

class TDescriptorWatches {
 public:
  // Ids from 1; 0 for a bad descriptor or no callback.
  int Watch(int fd, bool readable, bool writable, std::function<void(unsigned ready)> ready);
  void Unwatch(int id) { watches_.erase(id); }
  bool Empty() const { return watches_.empty(); }

  // Appends a pollfd per watch to `fds`, in the order Dispatch expects.
  void AppendPollFds(std::vector<pollfd>& fds);
  // Runs the callbacks of the watches whose entries, from `first` on,
  // poll found ready; true when one ran. A callback may watch or unwatch.
  bool Dispatch(const std::vector<pollfd>& fds, size_t first);

 private:
  struct TWatch {
    int Fd;
    bool Readable, Writable;
    std::function<void(unsigned)> Ready;
  };
  std::map<int, TWatch> watches_;
  std::vector<int> polled_;  // the ids AppendPollFds listed, in order
  int next_id_ = 1;
};

}  // namespace portico
