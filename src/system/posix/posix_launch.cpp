#include "system/launch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace portico {

bool OpenWithDesktop(const std::string& target) {
  // The grandchild runs the opener; the child exits at once and is reaped
  // here, so the window never waits and no zombie is left. A close-on-exec
  // pipe tells whether the exec succeeded.
  int status_pipe[2];
  if (pipe2(status_pipe, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(status_pipe[0]);
    close(status_pipe[1]);
    return false;
  }
  if (child == 0) {
    close(status_pipe[0]);
    setsid();
    pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, 0);
      dup2(null_fd, 1);
      dup2(null_fd, 2);
      if (null_fd > 2) close(null_fd);
    }
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    execvp(argv[0], const_cast<char* const*>(argv));
    char failed = 1;
    ssize_t ignored = write(status_pipe[1], &failed, 1);
    (void)ignored;
    _exit(127);
  }
  close(status_pipe[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t got;
  while ((got = read(status_pipe[0], &failed, 1)) < 0 && errno == EINTR) {
  }
  close(status_pipe[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace portico
