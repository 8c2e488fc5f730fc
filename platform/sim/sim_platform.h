// The simulated platform: a virtual clock, a scripted keyboard, an in-memory mixer device that
// keeps each control's value and records every call, windows that record what they would
// show, and a message box the simulated user answers with OK at once. Whatever changes is
// written to the trace, each line stamped with the virtual time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/timers.h"
#include "platform/platform.h"
#include "platform/window_state.h"

namespace brisel::sim {

// Receives each trace line, stamped with the virtual time.
using TraceSink = std::function<void(const std::string& line)>;

class SimClock : public Clock {
 public:
  std::uint64_t now_ms() const override { return now_; }
  void set(std::uint64_t now) { now_ = now; }

 private:
  std::uint64_t now_ = 0;
};

class SimKeyboard : public Keyboard {
 public:
  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
  void down(int vk);
  void up(int vk);
  void tap(int vk);  // down and up at once: seen by the next query only

 private:
  struct Key {
    bool down = false;
    bool pressed_since = false;
  };
  std::array<Key, 256> keys_{};
};

enum class Line { speakers, line, microphone, synthesizer, compactdisc, waveout, auxiliary };
enum class ControlKind { volume, mute };

class SimMixer : public Mixer {
 public:
  explicit SimMixer(TraceSink trace);

  // Setting up.
  void set_devices(std::uint32_t n) { devices_ = n; }
  void clear();  // device 0 without lines
  void add_control(Line line, ControlKind kind, std::uint32_t id, std::int32_t min, std::int32_t max);
  void set_open_fails() { open_fails_ = true; }
  void set_refuses() { refuses_ = true; }

  std::optional<std::int32_t> value(std::uint32_t id) const;

  std::uint32_t mixerGetNumDevs() override { return devices_; }
  winmm::MMRESULT mixerOpen(winmm::HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t,
                            std::uint32_t) override;
  winmm::MMRESULT mixerGetLineInfoA(winmm::HMIXER hmx, winmm::MIXERLINEA* pmxl, std::uint32_t fdwInfo) override;
  winmm::MMRESULT mixerGetLineControlsA(winmm::HMIXER hmx, winmm::MIXERLINECONTROLSA* pmxlc,
                                        std::uint32_t fdwControls) override;
  winmm::MMRESULT mixerSetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;

 private:
  struct Control {
    Line line;
    ControlKind kind;
    std::uint32_t id;
    std::int32_t min, max;
    std::optional<std::int32_t> value;
  };
  std::optional<std::uint32_t> device_of(winmm::HMIXER hmx) const;  // a handle mixerOpen gave
  TraceSink trace_;
  std::uint32_t devices_ = 1;
  bool defaults_ = true;  // the default lines until the first clear() or add_control()
  bool open_fails_ = false;
  bool refuses_ = false;
  std::vector<Control> controls_;  // device 0's
  std::vector<winmm::HMIXER> open_;
};

struct SimWindow {
  std::string name;
  bool visible = false;
  ExStyleWord style;
  std::optional<int> opacity;
  std::optional<RoundRect> region;
  int image2 = 0;  // lit squares of the picture Image2 shows
  bool mute = false;
};

class SimWindows : public WindowSystem {
 public:
  explicit SimWindows(TraceSink trace) : trace_(std::move(trace)) {}

  const SimWindow* find(Form form) const;

  HWND create_window(Form form) override;
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) override;
  std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) override;
  bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha, std::uint32_t dwFlags) override;
  HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) override;
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

 private:
  SimWindow* window(HWND hwnd);
  void trace(const SimWindow& w, const std::string& what) const;
  TraceSink trace_;
  std::map<HWND, std::pair<Form, SimWindow>> windows_;
  RegionTable regions_;
};

class SimMessageBox : public MessageBox {
 public:
  explicit SimMessageBox(TraceSink trace) : trace_(std::move(trace)) {}
  void MsgBox(const std::string& text) override;  // the user answers OK at once
  int shown() const { return shown_; }

 private:
  TraceSink trace_;
  int shown_ = 0;
};

// Quotes a text as scripts write it: in double quotes, with C escapes.
std::string Quote(const std::string& text);

// The simulated message loop: advances virtual time by `ms`, running in time order every tick
// due until then.
void Advance(SimClock& clock, TimerTable& timers, std::uint64_t ms);

class SimPlatform {
 public:
  // `trace` receives every line as brisel-sim prints it; none when empty.
  explicit SimPlatform(std::function<void(const std::string&)> trace = {});

 private:
  std::function<void(const std::string&)> out_;
  TraceSink stamped();

 public:
  SimClock clock;
  SimKeyboard keyboard;
  SimMixer mixer;
  SimWindows windows;
  SimMessageBox msgbox;
  Platform platform{clock, keyboard, mixer, windows, msgbox};
};

}  // namespace brisel::sim
