#include "display/splash.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "base/module1.h"
#include "base/text_numbers.h"
#include "mixer/mixer_module.h"
#include "resources/pictures.h"
#include "setup/config.h"

namespace brisel {

namespace {
// After a volume key, the level step that is a multiple of 5 picks the bar with step / 5 lit
// squares; other steps leave the bar as it is.
constexpr std::array<std::string_view, kLevelPictureCount> kStepTexts = {
    "0", "5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "55", "60", "65", "70", "75", "80"};
}  // namespace

std::optional<int> NearestLevelStep(std::int32_t value, std::int32_t min, std::int32_t max) {
  const std::int64_t range = static_cast<std::int64_t>(max) - min;
  if (range <= 0) return std::nullopt;
  // The step is (p - 1) / 1.25 with p = 100 (value - min) / range, that is n / d below, rounded
  // with halves down: the ceiling of (2n - d) / 2d. Whole numbers keep the ties exact.
  const std::int64_t n = 400 * (static_cast<std::int64_t>(value) - min) - 4 * range;
  const std::int64_t d = 5 * range;
  const std::int64_t num = 2 * n - d, den = 2 * d;
  const std::int64_t step = num >= 0 ? (num + den - 1) / den : -(-num / den);
  return static_cast<int>(std::clamp<std::int64_t>(step, 0, 80));
}

using S = SplashForm;
const std::array<TimerRow<SplashForm>, 7> SplashForm::kTimers = {{
    {"KeyTimer", 1, &S::KeyTimer, &S::Splash_KeyTimer_Timer},              // polls the keys, for good
    {"FadeIn", 10, &S::FadeIn, &S::Splash_FadeIn_Timer},                   // shows, +10 opacity a tick
    {"refreshtimer", 10, &S::refreshtimer, &S::Splash_refreshtimer_Timer}, // counts the hold
    {"FadeOut", 10, &S::FadeOut, &S::Splash_FadeOut_Timer},                // -10 opacity a tick, hides
    {"ResetTimer", 1, &S::ResetTimer, &S::Splash_ResetTimer_Timer},        // restarts the hold, once
    {"reset", 100, &S::reset, &S::Splash_reset_Timer},                     // mutes, once
    {"reset2", 300, &S::reset2, &S::Splash_reset2_Timer},                  // unmutes, once
}};

SplashForm::SplashForm(Forms& app) : FormWindow(app.platform.windows, SplashLayout()), app_(app) {
  BindTimers(*this, app.timers, kTimers);
  KeyTimer.enable();
}

void SplashForm::Splash_Form_Load() {
  app_.Splash().Hide();
  app_.module1.SetOutline(hWnd, kSplashOutline);
  FollowOutput();
}

void SplashForm::CopyPicture(int lit) {
  Image2 = lit;
  app_.platform.windows.set_picture(hWnd, PictureControl::Image2, lit);
}

void SplashForm::ShowMute(bool visible) {
  Mute = visible;
  app_.platform.windows.set_visible(hWnd, PictureControl::Mute, visible);
}

void SplashForm::ShowLevelForStep() {
  for (int lit = 0; lit < kLevelPictureCount; ++lit)
    if (VolCount == kStepTexts[static_cast<std::size_t>(lit)]) CopyPicture(lit);
}

// The level picture after unmuting: every test that holds copies its picture, so the last one
// decides. The thresholds are kept as they are although they show one square fewer than the
// volume keys at 10 to 75.
template <class Copy>
void SplashForm::ForEachUnmutePicture(Copy copy) const {
  if (VolCount == "0") copy(kEmptyBar);
  for (int lit = 1; lit < kLevelPictureCount - 1; ++lit)
    if (Number(VolCount) > 5 * lit) copy(lit);
  if (Number(VolCount) >= 80) copy(kLevelPictureCount - 1);
}

void SplashForm::ShowUnmutePicture() {
  std::optional<int> picture;
  ForEachUnmutePicture([&](int lit) { picture = lit; });
  if (picture && *picture != Image2) CopyPicture(*picture);
}

// The output as the user hears it: at the load, so that the first press steps from there, and
// after another program or a new default output changed it, so that the next press steps from
// what the user hears then, not from the display's own count. Only what differs from what the
// display last sent or read is taken over; a read that fails takes over nothing (at the load:
// step 0, sound on). The display does not show itself for it.
void SplashForm::FollowOutput() {
  MixerModule& mixer = app_.mixer;
  const MixerControlRecord& volume = mixer.MixerControls[MixerModule::kWaveOutVolume];
  const std::optional<std::int32_t> value = mixer.GetControlValue(MixerModule::kWaveOutVolume);
  const auto step = value ? NearestLevelStep(*value, volume.lMinimum, volume.lMaximum) : std::nullopt;
  if (step && step != output_step_) {
    VolCount = Text(*step);
    Volume = Text(1 + 1.25 * *step);
    ShowUnmutePicture();
    output_step_ = step;
  }
  const std::optional<std::int32_t> muted = mixer.GetControlValue(MixerModule::kWaveOutMute);
  if (muted && (*muted != 0) != output_muted_) {
    output_muted_ = *muted != 0;
    yesno = output_muted_ ? "no" : "yes";
    ShowMute(output_muted_);
    if (!output_muted_) ShowUnmutePicture();
  }
}

// ---- hot keys --------------------------------------------------------------------------

void SplashForm::Splash_KeyTimer_Timer() {
  ConfigForm& config = app_.Config();
  const std::int16_t up = ToInt16(config.outcomeup);
  const std::int16_t down = ToInt16(config.outcomedown);
  const std::int16_t mute = ToInt16(config.outcomemute);
  Keyboard& keys = app_.platform.keyboard;

  if (keys.GetAsyncKeyState(mute) != 0) {
    refreshtimer.enable();
    FadeIn.enable();
    if (yesno == "yes") reset.enable();
    if (yesno == "no") reset2.enable();
  }

  if (keys.GetAsyncKeyState(up) != 0) {
    VolumeKeyPressed();
    if (VolCount == "80") {
      VolCount = "80";
      SendVolume();
    } else {
      StepLevel(+1);
      SendVolume();
      SendMute(false);
    }
    ShowLevelForStep();
  }

  if (keys.GetAsyncKeyState(down) != 0) {
    VolumeKeyPressed();
    if (VolCount == "0") {
      VolCount = "0";
      SendVolume();
      SendMute(true);
    } else {
      StepLevel(-1);
      SendVolume();
      SendMute(false);
    }
    ShowLevelForStep();
  }
}

// What both volume keys do first: sound on, restart the hold, show the display.
void SplashForm::VolumeKeyPressed() {
  ShowMute(false);
  yesno = "yes";
  ResetTimer.enable();
  refreshtimer.enable();
  FadeIn.enable();
}

void SplashForm::StepLevel(int direction) {
  VolCount = Text(Number(VolCount) + direction);
  Volume = Text(Number(Volume) + 1.25 * direction);
}

// The output gets the percent the press leads to, the one the level bar stands for: a step
// down never makes it louder, a step up never quieter.
void SplashForm::SendVolume() {
  app_.mixer.SetVolume(MixerModule::kWaveOutVolume, ToInt32(Volume));
  output_step_ = static_cast<int>(Number(VolCount));
}

void SplashForm::SendMute(bool muted) {
  app_.mixer.SetMute(MixerModule::kWaveOutMute, muted ? -1 : 0);
  output_muted_ = muted;
}

// ---- mute, unmute, hold restart ----------------------------------------------------------

void SplashForm::Splash_reset_Timer() {
  yesno = "no";
  SendMute(true);
  CopyPicture(kEmptyBar);
  ShowMute(true);
  reset.disable();
}

void SplashForm::Splash_reset2_Timer() {
  ForEachUnmutePicture([this](int lit) { CopyPicture(lit); });
  ShowMute(false);
  yesno = "yes";
  SendMute(false);
  reset2.disable();
}

void SplashForm::Splash_ResetTimer_Timer() {
  Timer = "0";
  ResetTimer.disable();
}

// ---- fade-in, hold, fade-out -------------------------------------------------------------

void SplashForm::Splash_FadeIn_Timer() {
  if (first != "first") {
    FadeIn.disable();
    return;
  }
  Show();
  Amount = Text(Number(Amount) + 10);
  app_.module1.SetTranslucency(hWnd, ToInt16(Amount));
  if (Number(Amount) == 220) {
    first = "last";
    FadeIn.disable();
  }
}

void SplashForm::Splash_FadeOut_Timer() {
  Amount = Text(Number(Amount) - 10);
  app_.module1.SetTranslucency(hWnd, ToInt16(Amount));
  if (Amount == "10") {
    FadeOut.disable();
    first = "first";
    Hide();
    // A key pressed during the fade-out started a new hold count: the display comes back for
    // it at once, so that the count never outlives a hidden display.
    if (refreshtimer.enabled()) FadeIn.enable();
  }
}

void SplashForm::Splash_refreshtimer_Timer() {
  Timer = Text(Number(Timer) + 10);
  if (Number(Timer) == 1000) {
    Timer = "0";
    FadeOut.enable();
    refreshtimer.disable();
  }
}

}  // namespace brisel
