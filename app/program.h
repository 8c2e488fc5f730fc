// The running program: one instance of each window, reached by name from every handler and
// loaded on first use, the shared timer table, Module1 and the mixer module. It is where every
// backend reports the user's actions (Input).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/hot_key.h"
#include "app/module1.h"
#include "app/timers.h"
#include "mixer/mixer_module.h"
#include "platform/platform.h"

namespace brisel {

class ConfigForm;
class SplashForm;
class FormWindow;

class Program : public Input {
 public:
  explicit Program(Platform& platform, std::uint32_t timer_floor_ms = 10);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Process start: the start-up window Config is loaded (its load handler runs), then shown.
  void start();

  // Every use of a window by name: loads it on first use.
  ConfigForm& Config();
  SplashForm& Splash();
  ConfigForm* loaded_config() const { return config_.get(); }
  SplashForm* loaded_splash() const { return splash_.get(); }
  // The timer that polls the keys, once the display exists: a platform that knows when no key
  // can have changed lets it sleep (FormTimer::sleep) and wakes it at a key's event.
  FormTimer* key_timer() const;
  // The virtual-key code the key timer watches for `key`, the one "Run" stored. None while the
  // display does not exist yet: nothing watches the keys before "Run".
  std::optional<std::int32_t> hot_key_code(HotKey key) const;

  // Input: a click on "Run" (Command1 of the dialog) and an edit of a selector. Controls
  // without a handler (the display's buttons) do nothing; a control the window does not have
  // is std::invalid_argument.
  void click(HWND window, std::string_view control) override;
  void text_changed(HWND window, std::string_view control, std::string text) override;
  // A close of the dialog before "Run" ends the program with status 0: nothing else would ever
  // show a window again. After "Run" the dialog only fades out and is hidden for good, and a
  // close changes nothing; so does a close of the display.
  void close(HWND window) override;

  // The program is to end with `status` (a close of the dialog, `brisel --quit`): each
  // platform's message loop returns at its next turn, and main returns the status. Nothing is
  // kept between runs, so nothing needs saving.
  void end(int status);
  // The status to end with, once the program is to end.
  std::optional<int> exit_status() const { return exit_status_; }

  Platform& platform;
  TimerTable timers;
  Module1 module1;
  MixerModule mixer;

 private:
  FormWindow& form_with(HWND window, std::string_view control);
  std::unique_ptr<ConfigForm> config_;
  std::unique_ptr<SplashForm> splash_;
  bool run_clicked_ = false;  // "Run" was pressed: the dialog is on its way out
  std::optional<int> exit_status_;
};

// What the forms share: their window, shown or hidden through the platform.
class FormWindow {
 public:
  FormWindow(WindowSystem& windows, const WindowLayout& form_layout)
      : windows_(windows), layout(form_layout), hWnd(windows.create_window(form_layout)) {}
  void Show();
  void Hide();
  // What a control of the window holds at the start (a text, a picture's name), from the layout.
  std::string StartingText(std::string_view control) const { return std::string(layout.control(control).text); }

 private:
  WindowSystem& windows_;

 public:
  const WindowLayout& layout;
  const HWND hWnd;
};

}  // namespace brisel
