// Results worked out ahead of the code that needs them, on another thread,
// so that start-up can decode while it connects to the window system.
// Whoever fills the store announces each result before its thread starts;
// whoever needs one takes it, waiting if it is announced but not there
// yet. A result nobody announced is simply not there: the taker works it
// out itself, so a store nobody fills changes nothing.
#pragma once
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace portico {

template <typename T>
class TPrefetchStore {
 public:
  // A result that will come for name (several for one name come in order).
  void Announce(const std::string& name) {
    std::lock_guard<std::mutex> hold(mutex_);
    slots_.push_back(Slot{name, false, false, std::nullopt});
  }

  // The announced result for name, in the order announced; nullopt says
  // "work it out yourself".
  void Provide(const std::string& name, std::optional<T> value) {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      for (Slot& s : slots_)
        if (s.Name == name && !s.Done) {
          s.Value = std::move(value);
          s.Done = true;
          break;
        }
    }
    ready_.notify_all();
  }

  // The first result for name not yet taken, waiting until it is there;
  // nullopt when none was announced or the worker left it to the taker.
  std::optional<T> Take(const std::string& name) {
    std::unique_lock<std::mutex> hold(mutex_);
    for (Slot& s : slots_) {
      if (s.Name != name || s.Taken) continue;
      ready_.wait(hold, [&s] { return s.Done; });
      s.Taken = true;
      return std::move(s.Value);
    }
    return std::nullopt;
  }

  // Drops every result, taken or not. Only once the worker has stopped.
  void Clear() {
    std::lock_guard<std::mutex> hold(mutex_);
    slots_.clear();
  }

 private:
  struct Slot {
    std::string Name;
    bool Done;
    bool Taken;
    std::optional<T> Value;
  };
  std::mutex mutex_;
  std::condition_variable ready_;
  // A deque: a slot waited on stays where it is when another is announced.
  std::deque<Slot> slots_;
};

}  // namespace portico
