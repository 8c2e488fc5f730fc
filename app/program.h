// The running program: one instance of each window, reached by name from every handler and
// loaded on first use, the shared timer table, Module1 and the mixer module. It is where every
// backend reports the user's actions (Input).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/forms.h"
#include "base/hot_key.h"
#include "base/module1.h"
#include "base/timers.h"
#include "mixer/mixer_module.h"
#include "platform/platform.h"

namespace brisel {

class ConfigForm;
class SplashForm;

// The pieces the program owns for its forms, made before the forms' view of them.
struct ProgramParts {
  ProgramParts(Platform& p, std::uint32_t timer_floor_ms)
      : timer_table(p.clock, timer_floor_ms), module1_(p), mixer_module(p.mixer) {}
  TimerTable timer_table;
  Module1 module1_;
  MixerModule mixer_module;
};

class Program : private ProgramParts, public Forms, public Input {
 public:
  explicit Program(Platform& platform, std::uint32_t timer_floor_ms = 10);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Process start: the start-up window Config is loaded (its load handler runs), then shown.
  void start();

  // Every use of a window by name: loads it on first use.
  ConfigForm& Config() override;
  SplashForm& Splash() override;
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
  // Once the display is loaded it takes over what changed; before, the read at the hand-over
  // will find it.
  void output_changed() override;

  // The program is to end with `status` (a close of the dialog, `brisel --quit`): each
  // platform's message loop returns at its next turn, and main returns the status. Nothing is
  // kept between runs, so nothing needs saving.
  void end(int status);
  // The status to end with, once the program is to end.
  std::optional<int> exit_status() const { return exit_status_; }

 private:
  FormWindow& form_with(HWND window, std::string_view control);
  std::unique_ptr<ConfigForm> config_;
  std::unique_ptr<SplashForm> splash_;
  bool run_clicked_ = false;  // "Run" was pressed: the dialog is on its way out
  std::optional<int> exit_status_;
};

}  // namespace brisel
