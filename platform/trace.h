// The trace: one line per platform call that changes what the user hears or sees, as
// brisel-sim prints them and as the real programs write them with --trace. A decorator over any
// platform's mixer, windows and message box writes them, so that every platform's lines are the
// same. Nothing about keys is ever traced.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/window_state.h"

namespace brisel {

// Quotes a text as scripts and traces write it: in double quotes, with C escapes.
std::string Quote(const std::string& text);

// Receives each line, without its time stamp; stamps it with `now` and hands it on.
class TraceSink {
 public:
  TraceSink(std::function<std::uint64_t()> now, std::function<void(const std::string&)> out)
      : now_(std::move(now)), out_(std::move(out)) {}
  void operator()(const std::string& line) const;

 private:
  std::function<std::uint64_t()> now_;
  std::function<void(const std::string&)> out_;
};

class TracingMixer : public Mixer {
 public:
  TracingMixer(Mixer& inner, const TraceSink& trace) : inner_(inner), trace_(trace) {}
  std::uint32_t mixerGetNumDevs() override { return inner_.mixerGetNumDevs(); }
  winmm::MMRESULT mixerOpen(winmm::HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t dwCallback,
                            std::uintptr_t dwInstance, std::uint32_t fdwOpen) override;
  winmm::MMRESULT mixerGetLineInfoA(winmm::HMIXER hmx, winmm::MIXERLINEA* pmxl, std::uint32_t fdwInfo) override {
    return inner_.mixerGetLineInfoA(hmx, pmxl, fdwInfo);
  }
  winmm::MMRESULT mixerGetLineControlsA(winmm::HMIXER hmx, winmm::MIXERLINECONTROLSA* pmxlc,
                                        std::uint32_t fdwControls) override {
    return inner_.mixerGetLineControlsA(hmx, pmxlc, fdwControls);
  }
  winmm::MMRESULT mixerSetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;
  winmm::MMRESULT mixerGetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;

 private:
  void details(const char* call, winmm::HMIXER hmx, const winmm::MIXERCONTROLDETAILS* pmxcd, std::int32_t value,
               winmm::MMRESULT rc);
  Mixer& inner_;
  const TraceSink& trace_;
};

class TracingWindows : public WindowSystem {
 public:
  TracingWindows(WindowSystem& inner, const TraceSink& trace) : inner_(inner), trace_(trace) {}
  void set_input(Input& input) override { inner_.set_input(input); }
  HWND create_window(const WindowLayout& layout) override;
  void type(HWND window, std::string_view control, const std::string& text) override {
    inner_.type(window, control, text);
  }
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) override { return inner_.GetWindowLongA(hwnd, index); }
  std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) override {
    return inner_.SetWindowLongA(hwnd, index, value);
  }
  bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha, std::uint32_t dwFlags) override;
  HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) override;
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

 private:
  struct Seen {
    std::string name;
    bool visible = false;
    bool mute = false;
  };
  void line(HWND hwnd, const std::string& what);
  WindowSystem& inner_;
  const TraceSink& trace_;
  std::map<HWND, Seen> windows_;
  std::map<HRGN, RoundRect> regions_;  // what each region was made of, until a window takes it
};

class TracingMessageBox : public MessageBox {
 public:
  TracingMessageBox(MessageBox& inner, const TraceSink& trace) : inner_(inner), trace_(trace) {}
  void MsgBox(const std::string& text) override;

 private:
  MessageBox& inner_;
  const TraceSink& trace_;
};

// A platform whose mixer, windows and message box are traced; clock and keyboard pass through.
struct TracedPlatform {
  TracedPlatform(Platform& inner, const TraceSink& trace)
      : mixer(inner.mixer, trace), windows(inner.windows, trace), msgbox(inner.msgbox, trace),
        platform{inner.clock, inner.keyboard, mixer, windows, msgbox} {}
  TracedPlatform(const TracedPlatform&) = delete;  // `platform` refers to the parts above
  TracedPlatform& operator=(const TracedPlatform&) = delete;
  TracingMixer mixer;
  TracingWindows windows;
  TracingMessageBox msgbox;
  Platform platform;
};

}  // namespace brisel
