// The simulated mixer: devices whose lines and controls a script sets up, each control keeping
// the value last written. Device 0 has, until set up otherwise, seven lines each with a volume
// (0 to 65535) and a mute (0 to 1): speakers 1 and 2, line 3 and 4, ... auxiliary 13 and 14.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace brisel::sim {

enum class Line { speakers, line, microphone, synthesizer, compactdisc, waveout, auxiliary };
enum class ControlKind { volume, mute };

class SimMixer : public Mixer {
 public:
  SimMixer();

  // Setting up.
  void set_devices(std::uint32_t n) { devices_ = n; }
  void clear();  // device 0 without lines
  void add_control(Line line, ControlKind kind, std::uint32_t id, std::int32_t min, std::int32_t max);
  void set_open_fails() { open_fails_ = true; }
  void set_refuses() { refuses_ = true; }  // writes only; reads still answer
  // The control's current value, as another program would have left it. False when device 0
  // has no control `id`.
  bool set_value(std::uint32_t id, std::int32_t value);

  std::optional<std::int32_t> value(std::uint32_t id) const;

  std::uint32_t mixerGetNumDevs() override { return devices_; }
  winmm::MMRESULT mixerOpen(winmm::HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t,
                            std::uint32_t) override;
  winmm::MMRESULT mixerGetLineInfoA(winmm::HMIXER hmx, winmm::MIXERLINEA* pmxl, std::uint32_t fdwInfo) override;
  winmm::MMRESULT mixerGetLineControlsA(winmm::HMIXER hmx, winmm::MIXERLINECONTROLSA* pmxlc,
                                        std::uint32_t fdwControls) override;
  winmm::MMRESULT mixerSetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;
  winmm::MMRESULT mixerGetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;

 private:
  struct Control {
    Line line;
    ControlKind kind;
    std::uint32_t id;
    std::int32_t min, max;
    std::optional<std::int32_t> value;
  };
  std::optional<std::uint32_t> device_of(winmm::HMIXER hmx) const;  // a handle mixerOpen gave
  // The control a well-formed details call names, or the call's answer when there is none.
  Control* control_of(winmm::HMIXER hmx, const winmm::MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails,
                      winmm::MMRESULT& rc);
  std::uint32_t devices_ = 1;
  bool defaults_ = true;  // the default lines until the first clear() or add_control()
  bool open_fails_ = false;
  bool refuses_ = false;
  std::vector<Control> controls_;  // device 0's
  std::vector<winmm::HMIXER> open_;
};

}  // namespace brisel::sim
