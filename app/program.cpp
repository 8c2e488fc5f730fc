#include "app/program.h"

#include "display/splash.h"
#include "setup/config.h"

namespace brisel {

Program::Program(Platform& p, std::uint32_t timer_floor_ms)
    : platform(p), timers(p.clock, timer_floor_ms), module1(p), mixer(p.mixer) {}

Program::~Program() = default;

void Program::start() { Config().Show(); }

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

void FormWindow::Show() {
  windows_.show(hWnd);
  visible_ = true;
}

void FormWindow::Hide() {
  windows_.hide(hWnd);
  visible_ = false;
}

}  // namespace brisel
