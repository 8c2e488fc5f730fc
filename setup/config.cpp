#include "setup/config.h"

#include <algorithm>
#include <stdexcept>

#include "base/module1.h"
#include "base/text_numbers.h"
#include "mixer/mixer_module.h"
#include "base/key_table.h"

namespace brisel {

namespace {
// Where the name matches a row of the key table exactly, the row's code goes into the field;
// a name that matches nothing leaves the field as it was.
void LookUpKey(const std::string& name, std::string& code) {
  if (const KeyRow* row = KeyNamed(name)) code = std::string(row->code);
}
}  // namespace

Selector SelectorNamed(std::string_view name) {
  if (name == "volumeup") return Selector::volumeup;
  if (name == "volumedown") return Selector::volumedown;
  if (name == "volumemute") return Selector::volumemute;
  throw std::invalid_argument("no selector named '" + std::string(name) + "'");
}

using C = ConfigForm;
const std::array<TimerRow<ConfigForm>, 2> ConfigForm::kTimers = {{
    {"Timer1", 10, &C::Timer1, &C::Config_Timer1_Timer},  // fades in, +10 opacity a tick
    {"Timer3", 10, &C::Timer3, &C::Config_Timer3_Timer},  // fades out, then hands over
}};

ConfigForm::ConfigForm(Forms& app) : FormWindow(app.platform.windows, ConfigLayout()), app_(app) {
  BindTimers(*this, app.timers, kTimers);
}

void ConfigForm::Config_Form_Load() {
  app_.module1.SetTranslucency(hWnd, ToInt16(Amount));
  app_.mixer.OpenMixer(0);
  Timer1.enable();
  app_.module1.SetOutline(hWnd, kConfigOutline);
}

void ConfigForm::Config_Timer1_Timer() {
  Amount = Text(Number(Amount) + 10);
  app_.module1.SetTranslucency(hWnd, ToInt16(Amount));
  if (Amount == "220") Timer1.disable();
}

void ConfigForm::Config_Command1_Click() {
  LookUpKey(volumemute, outcomemute);
  LookUpKey(volumeup, outcomeup);
  LookUpKey(volumedown, outcomedown);
  // A fade-in still running would step against the fade-out and the dialog would never
  // hand over: the fade-out takes over from the current opacity.
  Timer1.disable();
  Timer3.enable();
}

void ConfigForm::Config_Timer3_Timer() {
  // Never below 0, so that a fade-out started before the first fade-in step still ends.
  Amount = Text(std::max(Number(Amount) - 10, 0.0));
  app_.module1.SetTranslucency(hWnd, ToInt16(Amount));
  if (Amount == "0") {
    Timer3.disable();
    app_.Splash();
    Hide();
  }
}

std::string& ConfigForm::SelectorText(Selector selector) {
  switch (selector) {
    case Selector::volumeup: return volumeup;
    case Selector::volumedown: return volumedown;
    case Selector::volumemute: break;
  }
  return volumemute;
}

void ConfigForm::Select(Selector selector, std::string text) { SelectorText(selector) = std::move(text); }

}  // namespace brisel
