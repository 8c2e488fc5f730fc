// bench_probe: measures the running Linux program from outside, on the X display and on the
// sound server's default output (read through ALSA's default mixer).
//   bench_probe startup PROGRAM          ms from starting PROGRAM to its dialog's first map;
//                                        prints the child's pid too, and leaves it running
//   bench_probe cycle KEYSYM             one press from rest: key to mixer, fade-in, hold, fade-out
//   bench_probe latency KEYSYM N         N presses: key-to-mixer latency, median and 95th percentile
//   bench_probe taps KEYSYM N            N short taps, 15 to 40 ms apart (the caller counts the steps)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/linux/x_probe_util.h"

namespace {

using xprobe_util::IgnoreErrors;
using xprobe_util::NowMs;
using xprobe_util::ResName;

Display* dpy = nullptr;
snd_mixer_t* mixer = nullptr;
snd_mixer_elem_t* master = nullptr;

void OpenMixer() {
  snd_mixer_open(&mixer, 0);
  snd_mixer_attach(mixer, "default");
  snd_mixer_selem_register(mixer, nullptr, nullptr);
  snd_mixer_load(mixer);
  snd_mixer_selem_id_t* sid = nullptr;
  snd_mixer_selem_id_alloca(&sid);
  snd_mixer_selem_id_set_name(sid, "Master");
  master = snd_mixer_find_selem(mixer, sid);
  if (!master) {
    std::fprintf(stderr, "bench_probe: no Master element on the default mixer\n");
    std::exit(1);
  }
}

long Volume() {
  long v = 0;
  snd_mixer_handle_events(mixer);
  snd_mixer_selem_get_playback_volume(master, SND_MIXER_SCHN_FRONT_LEFT, &v);
  return v;
}

// Waits for the mixer's value to leave `from`; the moment it changed, or -1 after `limit` ms.
double WaitForVolumeChange(long from, double limit) {
  const double end = NowMs() + limit;
  while (NowMs() < end) {
    if (Volume() != from) return NowMs();
    pollfd fds[8];
    const int n = snd_mixer_poll_descriptors(mixer, fds, 8);
    poll(fds, static_cast<nfds_t>(n), 5);
  }
  return -1;
}

void Press(const char* keysym) {
  if (xprobe_util::SendKey(dpy, keysym, true, true)) return;
  std::fprintf(stderr, "bench_probe: no key for %s\n", keysym);
  std::exit(1);
}

int Startup(const char* program) {
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
  XSync(dpy, False);
  const double t0 = NowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    // The program must not hold the caller's output open.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  for (bool mapped = false; !mapped;) {
    if (NowMs() - t0 > 10000) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid)
        std::fprintf(stderr, "bench_probe: no dialog mapped; the program ended with status %d\n",
                     WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
      else
        std::fprintf(stderr, "bench_probe: no dialog mapped within 10 s, pid %d\n", pid);
      return 1;
    }
    while (!mapped && XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      mapped = ev.type == MapNotify && ResName(dpy, ev.xmap.window) == "Config";
    }
    timespec pause{0, 200'000};
    nanosleep(&pause, nullptr);
  }
  std::printf("first map %.1f ms pid %d\n", NowMs() - t0, pid);
  return 0;
}

int Cycle(const char* keysym) {
  OpenMixer();
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
  const Atom opacity = XInternAtom(dpy, "_NET_WM_WINDOW_OPACITY", False);
  XSync(dpy, False);
  const long before = Volume();
  const double t0 = NowMs();
  Press(keysym);
  const double mixed = WaitForVolumeChange(before, 1000);
  double mapped = -1, full = -1, fading = -1, unmapped = -1;
  Window splash = 0;
  bool alpha = false;  // a 32-bit window carries its opacity in its pixels, not in the property
  const auto seen_opacity = [&](unsigned long value, double t) {
    if (value == 220 && full < 0) full = t;
    if (value == 210 && full >= 0 && fading < 0) fading = t;
  };
  while (unmapped < 0 && NowMs() - t0 < 5000) {
    if (splash && alpha && unmapped < 0) {
      XImage* img = XGetImage(dpy, splash, 105, 100, 1, 1, AllPlanes, ZPixmap);
      if (img) {
        seen_opacity((XGetPixel(img, 0, 0) >> 24) & 0xFF, NowMs());
        XDestroyImage(img);
      }
    }
    while (XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      const double t = NowMs();
      if (ev.type == MapNotify && ResName(dpy, ev.xmap.window) == "Splash") {
        splash = ev.xmap.window;
        mapped = t;
        XSelectInput(dpy, splash, PropertyChangeMask | StructureNotifyMask);
        XWindowAttributes a{};
        alpha = XGetWindowAttributes(dpy, splash, &a) && a.depth == 32;
      } else if (ev.type == PropertyNotify && ev.xproperty.window == splash && ev.xproperty.atom == opacity) {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy, splash, opacity, 0, 1, False, AnyPropertyType, &type, &format, &n, &after, &data);
        const unsigned long value = data ? (*reinterpret_cast<unsigned long*>(data) & 0xFFFFFFFFul) / 0x01010101ul : 0;
        if (data) XFree(data);
        seen_opacity(value, t);
      } else if (ev.type == UnmapNotify && ev.xunmap.window == splash) {
        unmapped = t;
      }
    }
    timespec pause{0, 200'000};
    nanosleep(&pause, nullptr);
  }
  if (mixed < 0 || mapped < 0 || full < 0 || fading < 0 || unmapped < 0) {
    std::fprintf(stderr, "bench_probe: the cycle was not seen whole\n");
    return 1;
  }
  // The key timer sees the press up to one tick after it; the display maps one tick after that,
  // at the fade-in's first step. The hold ends one fade-out step before the first step down.
  const double seen = mapped - 10, hold_end = fading - 10;
  std::printf("key to mixer %.1f ms, key to map %.1f ms\n", mixed - t0, mapped - t0);
  std::printf("from the tick that saw the key: fade-in %.1f ms (nominal 210), hold %.1f ms (nominal 1000); "
              "fade-out %.1f ms (nominal 210)\n",
              full - seen, hold_end - seen, unmapped - hold_end);
  return 0;
}

int Latency(const char* keysym, int n) {
  OpenMixer();
  std::vector<double> ms;
  for (int i = 0; i < n; ++i) {
    const long before = Volume();
    const double t0 = NowMs();
    Press(keysym);
    const double t = WaitForVolumeChange(before, 1000);
    if (t < 0) {
      std::fprintf(stderr, "bench_probe: press %d changed nothing\n", i);
      return 1;
    }
    ms.push_back(t - t0);
    const double gap = NowMs() + 50 + (i * 7) % 23;  // presses at varying phases of the key timer
    while (NowMs() < gap) Volume();
  }
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * static_cast<double>(ms.size() - 1) + 0.5)]; };
  std::printf("key to mixer over %d presses: median %.1f ms, 95th percentile %.1f ms, max %.1f ms\n", n, at(0.5),
              at(0.95), ms.back());
  return 0;
}

int Taps(const char* keysym, int n) {
  for (int i = 0; i < n; ++i) {
    Press(keysym);
    const double gap = NowMs() + 15 + (i * 11) % 26;  // at varying phases of a 10 ms poller
    while (NowMs() < gap) {
      timespec pause{0, 500'000};
      nanosleep(&pause, nullptr);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  dpy = XOpenDisplay(nullptr);
  if (!dpy || argc < 3) {
    std::fprintf(stderr, "usage: bench_probe startup PROGRAM | cycle KEYSYM | latency KEYSYM N | taps KEYSYM N\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const std::string cmd = argv[1];
  if (cmd == "startup") return Startup(argv[2]);
  if (cmd == "cycle") return Cycle(argv[2]);
  if (cmd == "latency" && argc == 4) return Latency(argv[2], std::atoi(argv[3]));
  if (cmd == "taps" && argc == 4) return Taps(argv[2], std::atoi(argv[3]));
  return 2;
}
