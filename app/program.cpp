#include "app/program.h"

#include <stdexcept>
#include <string>

#include "base/text_numbers.h"
#include "display/splash.h"
#include "setup/config.h"

namespace brisel {

Program::Program(Platform& p, std::uint32_t timer_floor_ms)
    : ProgramParts(p, timer_floor_ms), Forms(p, timer_table, module1_, mixer_module) {
  p.windows.set_input(*this);
}

Program::~Program() = default;

void Program::start() { Config().Show(); }

FormTimer* Program::key_timer() const { return splash_ ? &splash_->KeyTimer : nullptr; }

std::optional<std::int32_t> Program::hot_key_code(HotKey key) const {
  if (!splash_ || !config_) return std::nullopt;
  const std::string& code = key == HotKey::up     ? config_->outcomeup
                            : key == HotKey::down ? config_->outcomedown
                                                  : config_->outcomemute;
  // Converted as the key timer converts it. "Run" only ever stores codes from the key table;
  // a text that does not convert is the key timer's own run-time error at its next tick.
  try {
    return ToInt16(code);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

ConfigForm& Program::Config() {
  if (!config_) {
    config_ = std::make_unique<ConfigForm>(*this);
    config_->Config_Form_Load();
  }
  return *config_;
}

SplashForm& Program::Splash() {
  if (!splash_) {
    splash_ = std::make_unique<SplashForm>(*this);
    splash_->Splash_Form_Load();
  }
  return *splash_;
}

FormWindow& Program::form_with(HWND window, std::string_view control) {
  FormWindow* form = nullptr;
  if (config_ && config_->hWnd == window) form = config_.get();
  if (splash_ && splash_->hWnd == window) form = splash_.get();
  if (!form || !form->layout.find(control))
    throw std::invalid_argument("no control " + std::string(control) + " in window " + std::to_string(window));
  return *form;
}

void Program::click(HWND window, std::string_view control) {
  FormWindow& form = form_with(window, control);
  if (&form != config_.get() || control != "Command1") return;
  run_clicked_ = true;
  config_->Config_Command1_Click();
}

void Program::close(HWND window) {
  if (config_ && config_->hWnd == window && !run_clicked_) end(0);
}

void Program::output_changed() {
  if (splash_) splash_->FollowOutput();
}

void Program::end(int status) {
  if (!exit_status_) exit_status_ = status;
}

void Program::text_changed(HWND window, std::string_view control, std::string text) {
  FormWindow& form = form_with(window, control);
  if (&form != config_.get()) throw std::invalid_argument("no selector " + std::string(control));
  config_->Select(SelectorNamed(control), std::move(text));
}

}  // namespace brisel
