// The multimedia mixer's records and constants, in the shapes the mixer module hands to the
// platform. The records keep the field order of the mixer interface; cbStruct carries the sizes
// of its 32-bit layout (168, 24, 24, 148), which each platform checks and translates as it
// needs. Below the records: the argument checks and the control description that every mixer
// implementation shares.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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
inline constexpr std::uint32_t MIXER_GETCONTROLDETAILSF_VALUE = 0;

inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 0x4;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;

// The seven lines a mixer device may have, in the order the platforms number them (line 0 is
// the speakers, line 5 wave-out).
inline constexpr std::array<std::uint32_t, 7> kLineComponentTypes = {
    MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,    MIXERLINE_COMPONENTTYPE_SRC_LINE,
    MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE,  MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER,
    MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT,
    MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY,
};

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

struct MIXERCONTROLA {
  std::uint32_t cbStruct;
  std::uint32_t dwControlID;
  std::uint32_t dwControlType;
  std::uint32_t fdwControl;
  std::uint32_t cMultipleItems;
  char szShortName[16];
  char szName[64];
  std::int32_t lMinimum;  // Bounds
  std::int32_t lMaximum;
  std::uint32_t dwBoundsReserved[4];
  std::uint32_t dwMetricsReserved[6];  // Metrics
};
static_assert(sizeof(MIXERCONTROLA) == kMixerControlSize);

// The line number (0 to 6, in kLineComponentTypes' order) of a component type.
std::optional<int> LineOfComponentType(std::uint32_t component_type);

// Whether a call's records and flags are those of a well-formed call: the sizes, flags and
// counts the mixer module always passes (a read's flags are a write's: both ask for the value).
// MMSYSERR_NOERROR or MMSYSERR_INVALPARAM.
MMRESULT CheckLineInfo(const MIXERLINEA* pmxl, std::uint32_t fdwInfo);
MMRESULT CheckLineControls(const MIXERLINECONTROLSA* pmxlc, std::uint32_t fdwControls);
MMRESULT CheckControlDetails(const MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails);

// The one value a well-formed mixerSetControlDetails call carries, or that a
// mixerGetControlDetails call answered.
std::int32_t DetailsValue(const MIXERCONTROLDETAILS& details);
// Answers a well-formed mixerGetControlDetails call: writes the value into the caller's block.
void SetDetailsValue(const MIXERCONTROLDETAILS& details, std::int32_t value);

// Answers a well-formed mixerGetLineControlsA call: writes the described control into the
// caller's MIXERCONTROLA.
void DescribeControl(const MIXERLINECONTROLSA& request, std::uint32_t id, std::int32_t min, std::int32_t max);

}  // namespace brisel::winmm
