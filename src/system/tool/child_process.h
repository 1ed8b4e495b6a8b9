// Running another program and learning how it ended, for the tool that
// runs the launcher while a skin is being made. Each platform implements
// it (posix/posix_child_process.cpp, win32/win32_child_process.cpp).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace portico {

// A process as the system numbers it.
using TProcessId = int64_t;

// How a process ended.
struct TProcessEnd {
  bool Exited = false;  // by itself; false when a signal, a kill or (Windows) a crash ended it
  int Code = 0;         // its exit code, when Exited
};

class TChildProcess {
 public:
  // Starts `program` (a path) with `args` in `folder`, sharing our standard
  // streams. Null, with the system's reason in `why`, when it cannot start.
  // The child does not outlive us.
  static std::unique_ptr<TChildProcess> Start(const std::string& program,
                                              const std::vector<std::string>& args,
                                              const std::string& folder, std::string& why);
  // Stops the process when it still runs.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  TProcessId Id() const { return id_; }
  // How it ended; none while it runs. Never waits.
  std::optional<TProcessEnd> Poll();
  // Asks it to end, gives it a moment, then ends it by force.
  TProcessEnd Stop();

 private:
  TChildProcess(TProcessId id, uintptr_t handle) : id_(id), handle_(handle) {}
  TProcessId id_;
  uintptr_t handle_;  // the system's handle where it has one (0 on POSIX)
  std::optional<TProcessEnd> end_;
};

// The path of a program installed beside the running one: its folder, the
// name, and the system's suffix for programs ("portico" finds
// ".../portico", or "...\portico.exe" on Windows).
std::string SiblingProgram(const std::string& name);

}  // namespace portico
