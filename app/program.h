// The running program: one instance of each window, reached by name from every handler and
// loaded on first use, the shared timer table, Module1 and the mixer module.
#pragma once

#include <cstdint>
#include <memory>

#include "app/module1.h"
#include "app/timers.h"
#include "mixer/mixer_module.h"
#include "platform/platform.h"

namespace brisel {

class ConfigForm;
class SplashForm;

class Program {
 public:
  explicit Program(Platform& platform, std::uint32_t timer_floor_ms = 10);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Process start: the start-up window Config is loaded (its load handler runs), then shown.
  void start();

  // Every use of a window by name: loads it on first use.
  ConfigForm& Config();
  SplashForm& Splash();
  ConfigForm* loaded_config() const { return config_.get(); }
  SplashForm* loaded_splash() const { return splash_.get(); }

  Platform& platform;
  TimerTable timers;
  Module1 module1;
  MixerModule mixer;

 private:
  std::unique_ptr<ConfigForm> config_;
  std::unique_ptr<SplashForm> splash_;
};

// What the forms share: their window, shown or hidden through the platform.
class FormWindow {
 public:
  FormWindow(WindowSystem& windows, Form form) : windows_(windows), hWnd(windows.create_window(form)) {}
  void Show();
  void Hide();
  bool Visible() const { return visible_; }

 private:
  WindowSystem& windows_;
  bool visible_ = false;

 public:
  const HWND hWnd;
};

}  // namespace brisel
