// The multimedia mixer's records and constants, in the shapes the mixer module hands to the
// platform. The records keep the field order of the mixer interface; cbStruct carries the sizes
// of its 32-bit layout (168, 24, 24), which each platform checks and translates as it needs.
#pragma once

#include <cstdint>

namespace brisel::winmm {

using MMRESULT = std::uint32_t;
using HMIXER = std::uint32_t;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIXERR_INVALLINE = 1024;
inline constexpr MMRESULT MIXERR_INVALCONTROL = 1025;

inline constexpr std::uint32_t MIXER_GETLINEINFOF_COMPONENTTYPE = 3;
inline constexpr std::uint32_t MIXER_GETLINECONTROLSF_ONEBYTYPE = 2;
inline constexpr std::uint32_t MIXER_SETCONTROLDETAILSF_VALUE = 0;

inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 0x4;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;

inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002;

inline constexpr std::uint32_t kMixerLineSize = 168;
inline constexpr std::uint32_t kMixerLineControlsSize = 24;
inline constexpr std::uint32_t kMixerControlDetailsSize = 24;
inline constexpr std::uint32_t kMixerControlSize = 148;  // MIXERCONTROLA

struct MIXERLINEA {
  std::uint32_t cbStruct;
  std::uint32_t dwDestination;
  std::uint32_t dwSource;
  std::uint32_t dwLineID;
  std::uint32_t fdwLine;
  std::uint32_t dwUser;
  std::uint32_t dwComponentType;
  std::uint32_t cChannels;
  std::uint32_t cConnections;
  std::uint32_t cControls;
  char szShortName[16];
  char szName[64];
  struct {
    std::uint32_t dwType;
    std::uint32_t dwDeviceID;
    std::uint16_t wMid;
    std::uint16_t wPid;
    std::uint32_t vDriverVersion;
    char szPname[32];
  } Target;
};
static_assert(sizeof(MIXERLINEA) == kMixerLineSize);

struct MIXERLINECONTROLSA {
  std::uint32_t cbStruct;
  std::uint32_t dwLineID;
  std::uint32_t dwControlType;  // dwControlID shares this word in the interface
  std::uint32_t cControls;
  std::uint32_t cbmxctrl;
  void* pamxctrl;
};

struct MIXERCONTROLDETAILS {
  std::uint32_t cbStruct;
  std::uint32_t dwControlID;
  std::uint32_t cChannels;
  std::uint32_t cMultipleItems;
  std::uint32_t cbDetails;
  void* paDetails;
};

}  // namespace brisel::winmm
