#include "platform/linux/linux_message_loop.h"

#include <FL/Fl.H>

#include <utility>

namespace brisel::linux_x11 {

LinuxMessageLoop::LinuxMessageLoop(TimerTable& timers, const Clock& clock, X11Keyboard& keyboard,
                                   InstanceChannel& channel)
    : timers_(timers), clock_(clock), keyboard_(keyboard), channel_(channel) {
  // Each connection is one more descriptor for FLTK's wait.
  Fl::add_fd(keyboard_.fd(), FL_READ, OnKeyboard, this);
  Fl::add_fd(channel_.fd(), FL_READ, OnChannel, this);
}

LinuxMessageLoop::~LinuxMessageLoop() {
  for (const auto& [fd, readable] : watched_) Fl::remove_fd(fd);
  Fl::remove_fd(channel_.fd());
  Fl::remove_fd(keyboard_.fd());
}

void LinuxMessageLoop::watch(int fd, std::function<void()> readable) {
  unwatch(fd);
  auto& slot = watched_[fd] = std::move(readable);
  // A copy runs: it may unwatch its own descriptor.
  Fl::add_fd(fd, FL_READ, [](int, void* f) { std::function<void()>(*static_cast<std::function<void()>*>(f))(); }, &slot);
}

void LinuxMessageLoop::unwatch(int fd) {
  if (watched_.erase(fd)) Fl::remove_fd(fd);
}

void LinuxMessageLoop::set_key_timer(std::function<FormTimer*()> key_timer, std::function<bool()> idle) {
  key_timer_ = std::move(key_timer);
  idle_ = std::move(idle);
}

void LinuxMessageLoop::on_message(std::function<void(const std::string&)> receive) { receive_ = std::move(receive); }

void LinuxMessageLoop::settle(bool key_event) {
  // Asked first: at the hand-over the keyboard starts watching the hot keys, and then counts the
  // presses among the events read next.
  FormTimer* timer = key_timer_ ? key_timer_() : nullptr;
  key_event = keyboard_.drain() || key_event;
  if (!timer || !idle_) return;
  if (key_event || !idle_())
    timer->wake();
  else
    timer->sleep();
}

void LinuxMessageLoop::receive() {
  for (const std::string& message : channel_.receive())
    if (receive_) receive_(message);
}

void LinuxMessageLoop::OnKeyboard(int, void* self) { static_cast<LinuxMessageLoop*>(self)->settle(false); }

void LinuxMessageLoop::OnChannel(int, void* self) { static_cast<LinuxMessageLoop*>(self)->receive(); }

int LinuxMessageLoop::run(const std::function<std::optional<int>()>& ended) {
  receive();  // any that came while the program was set up
  for (;;) {
    while (!ended() && timers_.run_next(clock_.now_ms(), true)) {
    }
    if (const auto status = ended()) return *status;
    // Events Xlib read while it waited for a reply do not make the connection readable.
    settle(false);
    const auto due = timers_.next_due();
    const std::uint64_t now = clock_.now_ms();
    if (due && *due <= now) continue;
    Fl::wait(due ? static_cast<double>(*due - now) / 1000.0 : 3600.0);
  }
}

}  // namespace brisel::linux_x11
