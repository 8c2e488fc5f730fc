// The setup dialog Config: the start-up window. The user names the three keys, "Run" stores
// their codes, and the dialog fades out and hands over to the display. Its key fields stay
// readable, hidden, for the life of the process.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/forms.h"
#include "base/timers.h"

namespace brisel {

enum class Selector { volumeup, volumedown, volumemute };

// The selector with this control name; std::invalid_argument for a name that is none.
Selector SelectorNamed(std::string_view name);

class ConfigForm : public FormWindow {
 public:
  explicit ConfigForm(Forms& app);

  void Config_Form_Load();
  void Config_Timer1_Timer();
  void Config_Command1_Click();
  void Config_Timer3_Timer();

  // An edit of a selector's text by the user.
  void Select(Selector selector, std::string text);
  std::string& SelectorText(Selector selector);

  // Selectors' edit texts; each field starts as the layout has it.
  std::string volumeup = StartingText("volumeup");
  std::string volumedown = StartingText("volumedown");
  std::string volumemute = StartingText("volumemute");
  // Hidden fields: the chosen keys' virtual-key codes, and the dialog's opacity.
  std::string outcomeup = StartingText("outcomeup");
  std::string outcomedown = StartingText("outcomedown");
  std::string outcomemute = StartingText("outcomemute");
  std::string Amount = StartingText("Amount");

  FormTimer Timer1;
  FormTimer Timer3;
  static const std::array<TimerRow<ConfigForm>, 2> kTimers;

 private:
  Forms& app_;
};

}  // namespace brisel
