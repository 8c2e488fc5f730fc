// The multimedia-mixer calls of a real sound output: one device, mixer device 0, whose lines
// each have a volume (0 to 65535) and a mute (0 to 1) control. Which lines exist and how a
// value reaches the output is the backend's; the handle, the line and control identifiers and
// every argument check are the same on every platform.
//   line L (0 to 6, speakers to auxiliary): line identifier 0x10000 + L,
//   control identifiers 2L + 1 (volume) and 2L + 2 (mute).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace brisel {

class LineMixer : public Mixer {
 public:
  std::uint32_t mixerGetNumDevs() override { return 1; }
  winmm::MMRESULT mixerOpen(winmm::HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t dwCallback,
                            std::uintptr_t dwInstance, std::uint32_t fdwOpen) override;
  winmm::MMRESULT mixerGetLineInfoA(winmm::HMIXER hmx, winmm::MIXERLINEA* pmxl, std::uint32_t fdwInfo) override;
  winmm::MMRESULT mixerGetLineControlsA(winmm::HMIXER hmx, winmm::MIXERLINECONTROLSA* pmxlc,
                                        std::uint32_t fdwControls) override;
  winmm::MMRESULT mixerSetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;
  winmm::MMRESULT mixerGetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;

  static constexpr winmm::HMIXER kHandle = 1;
  static constexpr int kSpeakers = 0;
  static constexpr int kWaveOut = 5;
  static constexpr std::uint32_t ControlId(int line, bool mute) {
    return static_cast<std::uint32_t>(2 * line + (mute ? 2 : 1));
  }
  // The lines of a device that is one output (a sound server's default, a Windows endpoint):
  // the speakers and wave-out both carry its volume and mute.
  static constexpr bool OutputLine(int line) { return line == kSpeakers || line == kWaveOut; }

 protected:
  // Whether the device has line `line` (0 to 6).
  virtual bool has_line(int line) const = 0;
  // The name the line carries in its MIXERLINEA.
  virtual const char* line_name(int line) const = 0;
  // Called once mixerOpen has given out the handle: a backend may connect here; a device that
  // is not there yet is looked for again at each write.
  virtual void opened() {}
  // Writes a volume (0 to 65535) or a mute flag (0 or 1; values are clamped to these) to a
  // line the device has; the call's answer.
  virtual winmm::MMRESULT write(int line, bool mute, std::uint32_t value) = 0;
  // Reads the volume (0 to 65535) or the mute flag (0 or 1) of a line the device has, mapped
  // back as write() maps it; the call's answer.
  virtual winmm::MMRESULT read(int line, bool mute, std::uint32_t& value) = 0;

 private:
  // The line and kind of the control a well-formed details call names, or the call's answer.
  winmm::MMRESULT control_of(winmm::HMIXER hmx, const winmm::MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails,
                             int& line, bool& mute) const;
  bool opened_ = false;
};

}  // namespace brisel
