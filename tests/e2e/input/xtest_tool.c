/* Synthetic input for the input tests and the CPU benchmark, through XTEST.
 *
 *   repeat DELAY_MS RATE_HZ       set the server's key auto-repeat
 *   hold KEYSYM MS                hold a key down for MS; prints the presses a
 *                                 focused window of ours received (repeats
 *                                 included), as an independent count
 *   pointer RATE SECONDS RADIUS [listen]
 *                                 relative motion along circles at RATE events/s;
 *                                 prints the events and the exact travel made;
 *                                 with "listen" a client (this one) takes the
 *                                 motion events of the root window meanwhile, so
 *                                 the server sends each one as it happens
 *   keys RATE SECONDS             key presses and releases of "a" at RATE keys/s
 */
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

static void SleepUntil(double t) {
  struct timespec ts;
  ts.tv_sec = (time_t)t;
  ts.tv_nsec = (long)((t - (double)ts.tv_sec) * 1e9);
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, NULL);
}

static int Repeat(Display* dpy, int delay, int rate) {
  XAutoRepeatOn(dpy);
  if (!XkbSetAutoRepeatRate(dpy, XkbUseCoreKbd, (unsigned)delay, (unsigned)(1000 / rate))) return 1;
  XSync(dpy, False);
  return 0;
}

static int Hold(Display* dpy, const char* keysym, int ms) {
  KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(keysym));
  if (!code) return 1;
  Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 200, 0, 0, 0);
  XSelectInput(dpy, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
  XMapRaised(dpy, w);
  for (;;) {
    XEvent e;
    XNextEvent(dpy, &e);
    if (e.type == MapNotify) break;
  }
  XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
  XSync(dpy, False);
  int presses = 0, releases = 0;
  XTestFakeKeyEvent(dpy, code, True, 0);
  XFlush(dpy);
  const double end = Now() + ms / 1000.0;
  while (Now() < end) {
    while (XPending(dpy)) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == KeyPress && e.xkey.keycode == code) ++presses;
      if (e.type == KeyRelease && e.xkey.keycode == code) ++releases;
    }
    SleepUntil(Now() + 0.002);
  }
  XTestFakeKeyEvent(dpy, code, False, 0);
  XSync(dpy, False);
  const double settle = Now() + 0.2;
  while (Now() < settle) {
    while (XPending(dpy)) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == KeyPress && e.xkey.keycode == code) ++presses;
      if (e.type == KeyRelease && e.xkey.keycode == code) ++releases;
    }
    SleepUntil(Now() + 0.005);
  }
  XDestroyWindow(dpy, w);
  XSync(dpy, False);
  printf("presses=%d releases=%d\n", presses, releases);
  return 0;
}

/* Circles of the given radius, one turn per second, as integer relative steps;
 * the travel is the sum of the lengths of the steps actually sent. */
static void Drain(Display* dpy) {
  while (XPending(dpy)) {
    XEvent e;
    XNextEvent(dpy, &e);
  }
}

static int Pointer(Display* dpy, int rate, double seconds, double radius, int listen) {
  const int count = (int)(rate * seconds);
  const double start = Now();
  const double step = 2 * M_PI / rate;
  XTestFakeMotionEvent(dpy, -1, 512, 384, 0);
  if (listen) XSelectInput(dpy, DefaultRootWindow(dpy), PointerMotionMask);
  XSync(dpy, False);
  double fx = 0, fy = 0; /* exact offset from the centre's start point */
  long ix = 0, iy = 0;   /* where the integer steps have taken the pointer */
  double travel = 0;
  int sent = 0;
  for (int i = 1; i <= count; ++i) {
    fx = radius * cos(i * step) - radius;
    fy = radius * sin(i * step);
    const long tx = lround(fx), ty = lround(fy);
    const long dx = tx - ix, dy = ty - iy;
    SleepUntil(start + (double)i / rate);
    if (dx == 0 && dy == 0) continue;
    XTestFakeRelativeMotionEvent(dpy, (int)dx, (int)dy, 0);
    XFlush(dpy);
    if (listen) Drain(dpy);
    ix = tx;
    iy = ty;
    travel += sqrt((double)(dx * dx + dy * dy));
    ++sent;
  }
  XSync(dpy, False);
  printf("events=%d travel=%.3f circle=%.3f elapsed=%.3f\n", sent, travel,
         2 * M_PI * radius * seconds, Now() - start);
  return 0;
}

static int Keys(Display* dpy, int rate, double seconds) {
  KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym("a"));
  const int count = (int)(rate * seconds);
  const double start = Now();
  for (int i = 0; i < count; ++i) {
    SleepUntil(start + (double)i / rate);
    XTestFakeKeyEvent(dpy, code, True, 0);
    XFlush(dpy);
    SleepUntil(start + (i + 0.5) / rate);
    XTestFakeKeyEvent(dpy, code, False, 0);
    XFlush(dpy);
  }
  XSync(dpy, False);
  printf("keys=%d elapsed=%.3f\n", count, Now() - start);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s repeat|hold|pointer|keys ...\n", argv[0]);
    return 2;
  }
  Display* dpy = XOpenDisplay(NULL);
  if (!dpy) {
    fprintf(stderr, "no display\n");
    return 1;
  }
  int rc = 2;
  if (!strcmp(argv[1], "repeat") && argc == 4)
    rc = Repeat(dpy, atoi(argv[2]), atoi(argv[3]));
  else if (!strcmp(argv[1], "hold") && argc == 4)
    rc = Hold(dpy, argv[2], atoi(argv[3]));
  else if (!strcmp(argv[1], "pointer") && (argc == 5 || argc == 6))
    rc = Pointer(dpy, atoi(argv[2]), atof(argv[3]), atof(argv[4]),
                 argc == 6 && !strcmp(argv[5], "listen"));
  else if (!strcmp(argv[1], "keys") && argc == 4)
    rc = Keys(dpy, atoi(argv[2]), atof(argv[3]));
  else
    fprintf(stderr, "bad arguments\n");
  XCloseDisplay(dpy);
  fflush(stdout);
  return rc;
}
