// The on-screen display Splash: its key timer watches the three hot keys for the rest of the
// process; after each press the display fades in, holds and fades out, showing the level bar
// and, while muted, the loudspeaker without its waves.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/forms.h"
#include "base/timers.h"
#include "resources/pictures.h"

namespace brisel {

// The level step (0 to 80) whose percent, 1 + 1.25 x step, is nearest to where `value` stands
// in a control's range, a tie going to the lower step; nothing for an empty range.
std::optional<int> NearestLevelStep(std::int32_t value, std::int32_t min, std::int32_t max);

class SplashForm : public FormWindow {
 public:
  explicit SplashForm(Forms& app);

  void Splash_Form_Load();
  void Splash_KeyTimer_Timer();
  void Splash_reset_Timer();
  void Splash_reset2_Timer();
  void Splash_ResetTimer_Timer();
  void Splash_FadeIn_Timer();
  void Splash_FadeOut_Timer();
  void Splash_refreshtimer_Timer();
  // The level and the mute state take over where the output differs from what the display last
  // sent or read: at the load, and whenever the output changed without the program.
  void FollowOutput();

  // Fields, as text; each starts as the layout has it.
  std::string VolCount = StartingText("VolCount");  // level step, 0 to 80
  std::string Volume = StartingText("Volume");      // volume percent, always 1 + 1.25 x VolCount
  std::string yesno = StartingText("yesno");        // "yes" sound on, "no" muted by the mute key
  std::string Amount = StartingText("Amount");      // the display's opacity
  std::string first = StartingText("first");        // "first" while hidden or fading in, "last" after
  std::string Timer = StartingText("Timer");        // hold counter, +10 per tick up to 1000
  // The stored picture the level bar shows (lit squares).
  int Image2 = LevelPictureLit(StartingText("Image2"));
  bool Mute = layout.control("Mute").shown;  // the mute patch over the loudspeaker's waves

  FormTimer KeyTimer;
  FormTimer FadeIn;
  FormTimer refreshtimer;
  FormTimer FadeOut;
  FormTimer ResetTimer;
  FormTimer reset;
  FormTimer reset2;
  static const std::array<TimerRow<SplashForm>, 7> kTimers;

 private:
  void VolumeKeyPressed();
  void StepLevel(int direction);  // +1 or -1: VolCount and Volume move together
  void SendVolume();
  void SendMute(bool muted);
  void CopyPicture(int lit);
  void ShowMute(bool visible);
  void ShowLevelForStep();
  template <class Copy>
  void ForEachUnmutePicture(Copy copy) const;
  void ShowUnmutePicture();  // the unmute timer's picture for the level, copied where it differs
  Forms& app_;
  // What the output was last told or found to be: the step whose percent was last sent (none
  // until a read or a press gives one) and whether it is muted.
  std::optional<int> output_step_;
  bool output_muted_ = false;
};

}  // namespace brisel
