/* Watches one start of a program from a separate X client and reports
 * when its window appeared and when its first correct pixel reached the
 * screen, both from the moment the program was started.
 *
 *   startup_watch [--session] DIR EXPECT -- PROGRAM [ARGS...]
 *
 * DIR is the working folder for PROGRAM; EXPECT (RRGGBB) is the colour the
 * program shows at the screen's centre, where its centred window lands.
 * Prints "map_ms=... pixel_ms=... maxrss_kb=...". Without --session the
 * program is stopped with SIGTERM once its pixel is there; with it, the
 * pointer hovers, presses and releases off the window, then Escape ends
 * the program (through xdotool), so its peak memory covers a short session. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

/* The screen pixel at (x, y) as 0xRRGGBB. */
static unsigned long ScreenPixel(Display* d, Window root, int x, int y) {
  XImage* image = XGetImage(d, root, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0xFFFFFFFFul;
  const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return p;
}

static void Run(const char* command) {
  if (system(command) != 0) fprintf(stderr, "startup_watch: failed: %s\n", command);
}

int main(int argc, char** argv) {
  int arg = 1;
  int session = 0;
  if (arg < argc && strcmp(argv[arg], "--session") == 0) session = 1, ++arg;
  if (argc - arg < 4 || strcmp(argv[arg + 2], "--") != 0) {
    fprintf(stderr, "usage: startup_watch [--session] DIR EXPECT -- PROGRAM [ARGS...]\n");
    return 2;
  }
  const char* dir = argv[arg];
  const unsigned long expect = strtoul(argv[arg + 1], NULL, 16) & 0xFFFFFF;
  char** program = argv + arg + 3;

  Display* d = XOpenDisplay(NULL);
  if (!d) return 2;
  const int screen = DefaultScreen(d);
  const Window root = RootWindow(d, screen);
  const int cx = DisplayWidth(d, screen) / 2, cy = DisplayHeight(d, screen) / 2;
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, True);
  if (ScreenPixel(d, root, cx, cy) == expect) {
    fprintf(stderr, "startup_watch: the screen's centre already shows %06lx\n", expect);
    return 2;
  }

  const double start = NowMs();
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(dir) != 0) _exit(127);
    execvp(program[0], program);
    _exit(127);
  }
  if (child < 0) return 2;

  double map_ms = -1, pixel_ms = -1;
  const double deadline = start + 10000;
  while (pixel_ms < 0 && NowMs() < deadline) {
    while (map_ms < 0 && XPending(d) > 0) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == MapNotify && e.xmap.event == root) map_ms = NowMs() - start;
    }
    if (map_ms < 0) {
      struct pollfd fd = {ConnectionNumber(d), POLLIN, 0};
      poll(&fd, 1, 1);
      continue;
    }
    if (ScreenPixel(d, root, cx, cy) == expect) {
      pixel_ms = NowMs() - start;
      break;
    }
    /* A short sleep leaves the server and the program the CPU. */
    const struct timespec pause = {0, 100000};
    nanosleep(&pause, NULL);
  }

  if (session && pixel_ms >= 0) {
    char command[256];
    /* Hover and press at a spot left of the centre (a control on the
     * demo skin), release off the window, then Escape. */
    snprintf(command, sizeof command,
             "xdotool mousemove %d %d sleep 0.2 mousedown 1 sleep 0.1 mousemove 5 5 sleep 0.1 "
             "mouseup 1 sleep 0.1 key Escape", cx - 150, cy + 96);
    Run(command);
  } else {
    kill(child, SIGTERM);
  }
  int status = 0;
  struct rusage usage;
  memset(&usage, 0, sizeof usage);
  const double wait_deadline = NowMs() + 5000;
  pid_t done;
  while ((done = wait4(child, &status, WNOHANG, &usage)) == 0 && NowMs() < wait_deadline) {
    const struct timespec pause = {0, 10000000};
    nanosleep(&pause, NULL);
  }
  if (done == 0) {
    kill(child, SIGKILL);
    wait4(child, &status, 0, &usage);
  }
  XCloseDisplay(d);
  printf("map_ms=%.2f pixel_ms=%.2f maxrss_kb=%ld\n", map_ms, pixel_ms, usage.ru_maxrss);
  return pixel_ms >= 0 ? 0 : 1;
}
