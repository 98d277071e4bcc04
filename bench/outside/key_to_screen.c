/* Key to screen, measured from outside the program: a key pressed through XTest,
 * timed to the first new pixels of the window through the DAMAGE extension.
 *
 *   key_to_screen WINDOW-ID COUNT [INTERVAL-MS] [PAUSE-EVERY] [PAUSE-MS]
 *
 * Types COUNT characters ("a".."z" in turn) into the window, INTERVAL-MS apart, with a
 * pause of PAUSE-MS after every PAUSE-EVERY keys (so that work done when typing
 * stops, like an outline rebuild, happens between keys too). Prints the median, 99th
 * percentile, mean and maximum in milliseconds. Build and run: key_to_screen.sh. */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double NowMs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int Compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

/* Waits up to timeoutMs for a damage event; its arrival time, or -1. */
static double WaitDamage(Display* dpy, int damageEvent, double timeoutMs) {
  const double end = NowMs() + timeoutMs;
  for (;;) {
    while (XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type == damageEvent + XDamageNotify) return NowMs();
    }
    const double left = end - NowMs();
    if (left <= 0) return -1;
    struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
    poll(&p, 1, (int)(left + 1));
  }
}

static void Drain(Display* dpy, Damage damage) {
  XDamageSubtract(dpy, damage, None, None);
  XSync(dpy, False);
  while (XPending(dpy)) {
    XEvent ev;
    XNextEvent(dpy, &ev);
  }
}

static void SleepMs(double ms) {
  struct timespec ts = {(time_t)(ms / 1000), (long)((ms - (time_t)(ms / 1000) * 1000) * 1e6)};
  nanosleep(&ts, NULL);
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s WINDOW-ID COUNT [INTERVAL-MS] [PAUSE-EVERY] [PAUSE-MS]\n", argv[0]);
    return 2;
  }
  const Window win = (Window)strtoul(argv[1], NULL, 0);
  const int count = atoi(argv[2]);
  const double interval = argc > 3 ? atof(argv[3]) : 60;
  const int pauseEvery = argc > 4 ? atoi(argv[4]) : 50;
  const double pauseMs = argc > 5 ? atof(argv[5]) : 1500;
  Display* dpy = XOpenDisplay(NULL);
  if (!dpy) return fprintf(stderr, "no display\n"), 1;
  int damageEvent = 0, damageError = 0, major, minor, ev, err;
  if (!XDamageQueryExtension(dpy, &damageEvent, &damageError) ||
      !XTestQueryExtension(dpy, &ev, &err, &major, &minor))
    return fprintf(stderr, "the X server lacks DAMAGE or XTEST\n"), 1;
  const Damage damage = XDamageCreate(dpy, win, XDamageReportNonEmpty);
  double* took = calloc((size_t)count, sizeof(double));
  int got = 0, missed = 0;
  for (int i = 0; i < count; ++i) {
    if (pauseEvery > 0 && i > 0 && i % pauseEvery == 0) SleepMs(pauseMs);
    SleepMs(interval);
    Drain(dpy, damage);
    const KeyCode key = XKeysymToKeycode(dpy, XK_a + i % 26);
    const double start = NowMs();
    XTestFakeKeyEvent(dpy, key, True, CurrentTime);
    XTestFakeKeyEvent(dpy, key, False, CurrentTime);
    XFlush(dpy);
    const double seen = WaitDamage(dpy, damageEvent, 2000);
    if (seen < 0)
      ++missed;
    else
      took[got++] = seen - start;
  }
  qsort(took, (size_t)got, sizeof(double), Compare);
  double sum = 0;
  for (int i = 0; i < got; ++i) sum += took[i];
  if (got == 0) return fprintf(stderr, "no key reached the screen\n"), 1;
  printf("keys %d (no pixels within 2 s: %d)  median %.2f ms  p99 %.2f ms  mean %.2f ms  max %.2f ms\n",
         got, missed, took[got / 2], took[(int)(got * 0.99)], sum / got, took[got - 1]);
  XDamageDestroy(dpy, damage);
  XCloseDisplay(dpy);
  return 0;
}
