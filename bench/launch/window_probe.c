/* Launch to window, timed from outside: starts a command again and again and prints,
 * for each run, the milliseconds from just before exec until its window (a top-level
 * window at least 600 pixels wide whose name holds the given text) is mapped, and
 * until the first pixels land in it (the first DAMAGE report after the map). The command is ended
 * with SIGTERM after each run.
 *
 *   window_probe NAME RUNS COMMAND [ARG ...]
 *
 * Built by bench/launch_time.sh (needs libX11 and libXdamage). */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/damagewire.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

/* libXdamage without its header. */
typedef XID Damage;
Bool XDamageQueryExtension(Display* dpy, int* event_base, int* error_base);
Damage XDamageCreate(Display* dpy, Drawable drawable, int level);

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int ignore_errors(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0;
}

/* The main window: named with the text and wider than a splash banner. */
static int is_main_window(Display* dpy, Window w, const char* text) {
  char* name = NULL;
  int ok = 0;
  if (XFetchName(dpy, w, &name) && name) {
    ok = strstr(name, text) != NULL;
    XFree(name);
  }
  XWindowAttributes a;
  if (ok && XGetWindowAttributes(dpy, w, &a)) ok = a.width >= 600;
  if (getenv("PROBE_DEBUG")) fprintf(stderr, "mapped 0x%lx ok=%d\n", (unsigned long)w, ok);
  return ok;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s NAME RUNS COMMAND [ARG ...]\n", argv[0]);
    return 2;
  }
  const char* want = argv[1];
  const int runs = atoi(argv[2]);
  Display* dpy = XOpenDisplay(NULL);
  if (!dpy) {
    fprintf(stderr, "no display\n");
    return 1;
  }
  XSetErrorHandler(ignore_errors);
  int damage_event, damage_error;
  if (!XDamageQueryExtension(dpy, &damage_event, &damage_error)) {
    fprintf(stderr, "no DAMAGE extension\n");
    return 1;
  }
  Window root = DefaultRootWindow(dpy);
  XSelectInput(dpy, root, SubstructureNotifyMask);
  XSync(dpy, False);
  for (int run = 0; run < runs; ++run) {
    XSync(dpy, True); /* drop what is left of the last run */
    const double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
      execvp(argv[3], argv + 3);
      _exit(127);
    }
    double mapped = -1, painted = -1;
    Window target = 0;
    while (painted < 0) {
      if (now_ms() - t0 > 30000) break;
      if (!XPending(dpy)) {
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 100);
        continue;
      }
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == CreateNotify) {
        /* Watched from birth, so no paint can come before the watch. */
        XDamageCreate(dpy, e.xcreatewindow.window, XDamageReportRawRectangles);
      } else if (e.type == MapNotify && !target) {
        if (is_main_window(dpy, e.xmap.window, want)) {
          target = e.xmap.window;
          mapped = now_ms() - t0;
        }
      } else if (e.type == damage_event + XDamageNotify && target) {
        /* XDamageNotifyEvent: drawable follows the common header and the damage. */
        const XAnyEvent* any = &e.xany;
        if (any->window == target) painted = now_ms() - t0;
      }
    }
    printf("run %d: mapped %.1f ms, painted %.1f ms\n", run + 1, mapped, painted);
    fflush(stdout);
    kill(pid, SIGTERM);
    int status;
    waitpid(pid, &status, 0);
  }
  XCloseDisplay(dpy);
  return 0;
}
