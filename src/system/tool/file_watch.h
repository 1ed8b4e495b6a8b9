// Telling when files change, for the tool that restarts the launcher when
// a skin's files are saved. Each platform implements it
// (posix/posix_file_watch.cpp with inotify, win32/win32_file_watch.cpp
// with change notifications).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace portico {

class TFileWatch {
 public:
  TFileWatch();
  ~TFileWatch();
  TFileWatch(const TFileWatch&) = delete;
  TFileWatch& operator=(const TFileWatch&) = delete;

  // Whether the system's watch could be set up; Error() says why not.
  bool Ok() const;
  const std::string& Error() const;
  // Watches these files from now on, in place of the ones before: a file
  // written, created, removed, renamed or replaced (as editors save)
  // counts, its name matched without regard to case as skins' names are.
  // A file whose folder does not exist is not watched.
  void Watch(const std::vector<std::string>& paths);
  // Waits up to timeout_ms for a change to a watched file; true when one
  // came.
  bool WaitForChange(int64_t timeout_ms);
  // The watched files (as given to Watch) that changed since the last
  // call, each once, in the order their changes came.
  std::vector<std::string> TakeChanged();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace portico
