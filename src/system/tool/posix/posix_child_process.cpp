// Child processes on POSIX systems: fork and exec, with a close-on-exec
// pipe that tells whether the exec succeeded.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "system/tool/child_process.h"

namespace portico {

namespace {
// How long Stop waits between asking and forcing.
constexpr int StopGraceMs = 2000;

TProcessEnd EndOf(int status) {
  TProcessEnd end;
  end.Exited = WIFEXITED(status);
  end.Code = end.Exited ? WEXITSTATUS(status) : 0;
  return end;
}

// Reads the whole of a small pipe message, retrying interrupted reads.
ssize_t ReadAll(int fd, void* buffer, size_t size) {
  ssize_t got;
  while ((got = read(fd, buffer, size)) < 0 && errno == EINTR) {
  }
  return got;
}
}  // namespace

std::unique_ptr<TChildProcess> TChildProcess::Start(const std::string& program,
                                                    const std::vector<std::string>& args,
                                                    const std::string& folder, std::string& why) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int status_pipe[2];
  if (pipe2(status_pipe, O_CLOEXEC) != 0) {
    why = std::strerror(errno);
    return nullptr;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    why = std::strerror(errno);
    close(status_pipe[0]);
    close(status_pipe[1]);
    return nullptr;
  }
  if (pid == 0) {
    close(status_pipe[0]);
#ifdef __linux__
    // The launcher must not outlive the tool that shows it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
#endif
    (void)parent;
    int error = 0;
    if (chdir(folder.c_str()) != 0 || (execv(program.c_str(), argv.data()), true)) error = errno;
    ssize_t ignored = write(status_pipe[1], &error, sizeof error);
    (void)ignored;
    _exit(127);
  }
  close(status_pipe[1]);
  int error = 0;
  const ssize_t got = ReadAll(status_pipe[0], &error, sizeof error);
  close(status_pipe[0]);
  if (got > 0) {
    why = std::strerror(error);
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return nullptr;
  }
  return std::unique_ptr<TChildProcess>(new TChildProcess(pid, 0));
}

TChildProcess::~TChildProcess() {
  if (!end_) Stop();
}

std::optional<TProcessEnd> TChildProcess::Poll() {
  if (end_) return end_;
  int status = 0;
  pid_t done;
  while ((done = waitpid(pid_t(id_), &status, WNOHANG)) < 0 && errno == EINTR) {
  }
  if (done == pid_t(id_))
    end_ = EndOf(status);
  else if (done < 0)
    end_ = TProcessEnd{};  // not ours to wait for any more
  return end_;
}

TProcessEnd TChildProcess::Stop() {
  if (Poll()) return *end_;
  kill(pid_t(id_), SIGTERM);
  for (int waited = 0; waited < StopGraceMs; waited += 10) {
    if (Poll()) return *end_;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_t(id_), SIGKILL);
  int status = 0;
  while (waitpid(pid_t(id_), &status, 0) < 0 && errno == EINTR) {
  }
  end_ = EndOf(status);
  return *end_;
}

std::string SiblingProgram(const std::string& name) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return name;
  const std::string path(self, size_t(n));
  return path.substr(0, path.rfind('/') + 1) + name;
}

}  // namespace portico
