#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "resources/pictures.h"

namespace brisel::sim {

using namespace winmm;

// ---- keyboard ------------------------------------------------------------------------------

std::int16_t SimKeyboard::GetAsyncKeyState(std::int32_t vk) {
  if (vk < 0 || vk > 255) return 0;
  Key& k = keys_[static_cast<std::size_t>(vk)];
  const int state = (k.down ? 0x8000 : 0) | (k.pressed_since ? 1 : 0);
  k.pressed_since = false;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(state));
}

void SimKeyboard::down(int vk) {
  Key& k = keys_.at(static_cast<std::size_t>(vk));
  if (!k.down) k.pressed_since = true;
  k.down = true;
}

void SimKeyboard::up(int vk) { keys_.at(static_cast<std::size_t>(vk)).down = false; }

void SimKeyboard::tap(int vk) {
  Key& k = keys_.at(static_cast<std::size_t>(vk));
  k.down = false;
  k.pressed_since = true;
}

// ---- mixer ---------------------------------------------------------------------------------

namespace {
constexpr std::uint32_t kHandleBase = 1000;

}  // namespace

SimMixer::SimMixer(TraceSink trace) : trace_(std::move(trace)) {
  // Seven lines, each with a volume (0 to 65535) and a mute (0 to 1): speakers 1 and 2,
  // line 3 and 4, ... auxiliary 13 and 14.
  for (std::uint32_t line = 0; line < 7; ++line) {
    controls_.push_back({static_cast<Line>(line), ControlKind::volume, 2 * line + 1, 0, 65535, std::nullopt});
    controls_.push_back({static_cast<Line>(line), ControlKind::mute, 2 * line + 2, 0, 1, std::nullopt});
  }
}

void SimMixer::clear() {
  defaults_ = false;
  controls_.clear();
}

void SimMixer::add_control(Line line, ControlKind kind, std::uint32_t id, std::int32_t min, std::int32_t max) {
  if (defaults_) clear();
  controls_.push_back({line, kind, id, min, max, std::nullopt});
}

std::optional<std::int32_t> SimMixer::value(std::uint32_t id) const {
  for (const Control& c : controls_)
    if (c.id == id) return c.value;
  return std::nullopt;
}

std::optional<std::uint32_t> SimMixer::device_of(HMIXER hmx) const {
  if (std::find(open_.begin(), open_.end(), hmx) == open_.end()) return std::nullopt;
  return hmx - kHandleBase;
}

MMRESULT SimMixer::mixerOpen(HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t, std::uint32_t) {
  MMRESULT rc = MMSYSERR_NOERROR;
  if (open_fails_) {
    rc = MMSYSERR_ERROR;
  } else if (uMxId >= devices_) {
    rc = MMSYSERR_BADDEVICEID;
  } else {
    *phmx = kHandleBase + uMxId;
    open_.push_back(*phmx);
  }
  trace_("mixerOpen " + std::to_string(uMxId) + " -> " + std::to_string(rc));
  return rc;
}

MMRESULT SimMixer::mixerGetLineInfoA(HMIXER hmx, MIXERLINEA* pmxl, std::uint32_t fdwInfo) {
  const auto device = device_of(hmx);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckLineInfo(pmxl, fdwInfo)) return rc;
  const auto line = LineOfComponentType(pmxl->dwComponentType);
  if (*device != 0 || !line) return MIXERR_INVALLINE;
  const bool present = std::any_of(controls_.begin(), controls_.end(),
                                   [&](const Control& c) { return static_cast<int>(c.line) == *line; });
  if (!present) return MIXERR_INVALLINE;
  pmxl->dwLineID = 0x10000u + static_cast<std::uint32_t>(*line);
  pmxl->cControls = 2;
  return MMSYSERR_NOERROR;
}

MMRESULT SimMixer::mixerGetLineControlsA(HMIXER hmx, MIXERLINECONTROLSA* pmxlc, std::uint32_t fdwControls) {
  const auto device = device_of(hmx);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckLineControls(pmxlc, fdwControls)) return rc;
  if (*device != 0 || pmxlc->dwLineID < 0x10000u || pmxlc->dwLineID > 0x10006u) return MIXERR_INVALLINE;
  const auto line = static_cast<Line>(pmxlc->dwLineID - 0x10000u);
  const ControlKind kind =
      pmxlc->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE ? ControlKind::mute : ControlKind::volume;
  if (pmxlc->dwControlType != MIXERCONTROL_CONTROLTYPE_MUTE && pmxlc->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
    return MIXERR_INVALCONTROL;
  const Control* found = nullptr;
  for (const Control& c : controls_)
    if (c.line == line && c.kind == kind) {
      found = &c;
      break;
    }
  if (!found) return MIXERR_INVALCONTROL;
  DescribeControl(*pmxlc, found->id, found->min, found->max);
  return MMSYSERR_NOERROR;
}

MMRESULT SimMixer::mixerSetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  const std::int32_t value = DetailsValue(*pmxcd);
  MMRESULT rc = MMSYSERR_NOERROR;
  Control* target = nullptr;
  const auto device = device_of(hmx);
  if (refuses_) {
    rc = MMSYSERR_ERROR;
  } else if (!device) {
    rc = MMSYSERR_INVALHANDLE;
  } else if (CheckControlDetails(pmxcd, fdwDetails) != MMSYSERR_NOERROR) {
    rc = MMSYSERR_INVALPARAM;
  } else {
    if (*device == 0)
      for (Control& c : controls_)
        if (c.id == pmxcd->dwControlID) target = &c;
    if (target) target->value = value;
    else rc = MIXERR_INVALCONTROL;
  }
  trace_("mixerSetControlDetails " + std::to_string(hmx) + " " + std::to_string(pmxcd->dwControlID) + " " +
         std::to_string(value) + " -> " + std::to_string(rc));
  return rc;
}

// ---- windows -------------------------------------------------------------------------------

const SimWindow* SimWindows::find(Form form) const {
  for (const auto& [hwnd, entry] : windows_)
    if (entry.first == form) return &entry.second;
  return nullptr;
}

SimWindow* SimWindows::window(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second.second;
}

void SimWindows::trace(const SimWindow& w, const std::string& what) const { trace_(w.name + " " + what); }

HWND SimWindows::create_window(Form form) {
  const HWND hwnd = 0x10000u + static_cast<HWND>(windows_.size()) * 0x10u;
  SimWindow w;
  w.name = form == Form::Config ? "Config" : "Splash";
  trace(w, "load");
  windows_.emplace(hwnd, std::make_pair(form, w));
  return hwnd;
}

void SimWindows::show(HWND hwnd) {
  if (SimWindow* w = window(hwnd); w && !w->visible) {
    w->visible = true;
    trace(*w, "shown");
  }
}

void SimWindows::hide(HWND hwnd) {
  if (SimWindow* w = window(hwnd); w && w->visible) {
    w->visible = false;
    trace(*w, "hidden");
  }
}

std::int32_t SimWindows::GetWindowLongA(HWND hwnd, std::int32_t index) {
  SimWindow* w = window(hwnd);
  return w ? w->style.get(index) : 0;
}

std::int32_t SimWindows::SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) {
  SimWindow* w = window(hwnd);
  return w ? w->style.set(index, value) : 0;
}

bool SimWindows::SetLayeredWindowAttributes(HWND hwnd, std::uint32_t, std::uint8_t bAlpha, std::uint32_t dwFlags) {
  SimWindow* w = window(hwnd);
  if (!w || !w->style.takes_alpha(dwFlags)) return false;
  w->opacity = bAlpha;
  trace(*w, "opacity " + std::to_string(bAlpha));
  return true;
}

HRGN SimWindows::CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return regions_.create(left, top, right, bottom, width, height);
}

int SimWindows::SetWindowRgn(HWND hwnd, HRGN rgn, bool) {
  SimWindow* w = window(hwnd);
  if (!w) return 0;
  const auto r = regions_.take(rgn);
  if (!r) return 0;
  w->region = r;
  std::string line = "region";
  for (int v : *r) line += " " + std::to_string(v);
  trace(*w, line);
  return 1;
}

void SimWindows::set_picture(HWND hwnd, PictureControl control, int picture) {
  SimWindow* w = window(hwnd);
  if (!w || control != PictureControl::Image2) return;
  w->image2 = picture;
  trace(*w, "Image2 " + std::string(LevelPictureName(picture)));
}

void SimWindows::set_visible(HWND hwnd, PictureControl control, bool visible) {
  SimWindow* w = window(hwnd);
  if (!w || control != PictureControl::Mute || w->mute == visible) return;
  w->mute = visible;
  trace(*w, visible ? "Mute shown" : "Mute hidden");
}

// ---- message box ---------------------------------------------------------------------------

void SimMessageBox::MsgBox(const std::string& text) {
  ++shown_;
  trace_("msgbox " + Quote(text));
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

void Advance(SimClock& clock, TimerTable& timers, std::uint64_t ms) {
  const std::uint64_t target = clock.now_ms() + ms;
  for (auto due = timers.next_due(); due && *due <= target; due = timers.next_due()) {
    clock.set(*due);
    timers.run_next(*due);
  }
  clock.set(target);
}

// ---- the whole platform --------------------------------------------------------------------

SimPlatform::SimPlatform(std::function<void(const std::string&)> trace)
    : out_(std::move(trace)), mixer(stamped()), windows(stamped()), msgbox(stamped()) {}

TraceSink SimPlatform::stamped() {
  return [this](const std::string& line) {
    if (out_) out_(std::to_string(clock.now_ms()) + " " + line);
  };
}

}  // namespace brisel::sim
