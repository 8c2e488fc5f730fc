// What the two forms share and reach: the platform, the timer table, Module1 and the mixer
// module, and each window by name, loaded on first use. The program owns all of it and
// implements the lookup (app/program.h); the forms see only this.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "resources/layout.h"

namespace brisel {

class ConfigForm;
class SplashForm;
class MixerModule;
class Module1;
class TimerTable;

class Forms {
 public:
  Forms(Platform& p, TimerTable& t, Module1& m1, MixerModule& m) : platform(p), timers(t), module1(m1), mixer(m) {}
  Forms(const Forms&) = delete;
  Forms& operator=(const Forms&) = delete;

  // Every use of a window by name: loads it on first use.
  virtual ConfigForm& Config() = 0;
  virtual SplashForm& Splash() = 0;

  Platform& platform;
  TimerTable& timers;
  Module1& module1;
  MixerModule& mixer;

 protected:
  ~Forms() = default;
};

// What the forms share: their window, shown or hidden through the platform.
class FormWindow {
 public:
  FormWindow(WindowSystem& windows, const WindowLayout& form_layout)
      : windows_(windows), layout(form_layout), hWnd(windows.create_window(form_layout)) {}
  void Show() { windows_.show(hWnd); }
  void Hide() { windows_.hide(hWnd); }
  // What a control of the window holds at the start (a text, a picture's name), from the layout.
  std::string StartingText(std::string_view control) const { return std::string(layout.control(control).text); }

 private:
  WindowSystem& windows_;

 public:
  const WindowLayout& layout;
  const HWND hWnd;
};

}  // namespace brisel
