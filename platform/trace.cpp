#include "platform/trace.h"

#include "resources/pictures.h"

namespace brisel {

using namespace winmm;

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

void TraceSink::operator()(const std::string& line) const {
  if (out_) out_(std::to_string(now_()) + " " + line);
}

// ---- mixer: every open, write and read, with the call's answer ------------------------------

MMRESULT TracingMixer::mixerOpen(HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t dwCallback,
                                 std::uintptr_t dwInstance, std::uint32_t fdwOpen) {
  const MMRESULT rc = inner_.mixerOpen(phmx, uMxId, dwCallback, dwInstance, fdwOpen);
  trace_("mixerOpen " + std::to_string(uMxId) + " -> " + std::to_string(rc));
  return rc;
}

void TracingMixer::details(const char* call, HMIXER hmx, const MIXERCONTROLDETAILS* pmxcd, std::int32_t value,
                           MMRESULT rc) {
  const std::uint32_t id = pmxcd ? pmxcd->dwControlID : 0;
  trace_(std::string(call) + " " + std::to_string(hmx) + " " + std::to_string(id) + " " + std::to_string(value) +
         " -> " + std::to_string(rc));
}

MMRESULT TracingMixer::mixerSetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  const MMRESULT rc = inner_.mixerSetControlDetails(hmx, pmxcd, fdwDetails);
  details("mixerSetControlDetails", hmx, pmxcd, pmxcd ? DetailsValue(*pmxcd) : 0, rc);
  return rc;
}

// The value read, or 0 when the read failed (the block then holds nothing that was read).
MMRESULT TracingMixer::mixerGetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  const MMRESULT rc = inner_.mixerGetControlDetails(hmx, pmxcd, fdwDetails);
  details("mixerGetControlDetails", hmx, pmxcd, rc == MMSYSERR_NOERROR && pmxcd ? DetailsValue(*pmxcd) : 0, rc);
  return rc;
}

// ---- windows: loads, visibility changes, every opacity and outline applied, pictures --------

void TracingWindows::line(HWND hwnd, const std::string& what) {
  if (auto it = windows_.find(hwnd); it != windows_.end()) trace_(it->second.name + " " + what);
}

HWND TracingWindows::create_window(const WindowLayout& layout) {
  trace_(std::string(layout.name) + " load");
  const HWND hwnd = inner_.create_window(layout);
  windows_[hwnd] = Seen{std::string(layout.name)};
  return hwnd;
}

// Stamped as the behaviour shows the window: a backend may take a while to draw its first frame.
void TracingWindows::show(HWND hwnd) {
  if (auto it = windows_.find(hwnd); it != windows_.end() && !it->second.visible) {
    it->second.visible = true;
    line(hwnd, "shown");
  }
  inner_.show(hwnd);
}

void TracingWindows::hide(HWND hwnd) {
  inner_.hide(hwnd);
  if (auto it = windows_.find(hwnd); it != windows_.end() && it->second.visible) {
    it->second.visible = false;
    line(hwnd, "hidden");
  }
}

bool TracingWindows::SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha,
                                                std::uint32_t dwFlags) {
  const bool applied = inner_.SetLayeredWindowAttributes(hwnd, crKey, bAlpha, dwFlags);
  if (applied) line(hwnd, "opacity " + std::to_string(bAlpha));
  return applied;
}

HRGN TracingWindows::CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  const HRGN rgn = inner_.CreateRoundRectRgn(left, top, right, bottom, width, height);
  regions_[rgn] = {left, top, right, bottom, width, height};
  return rgn;
}


int TracingWindows::SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) {
  const int rc = inner_.SetWindowRgn(hwnd, rgn, redraw);
  const auto it = regions_.find(rgn);
  if (rc != 0 && it != regions_.end()) {
    std::string text = "region";
    for (int v : it->second) text.append(" ").append(std::to_string(v));
    line(hwnd, text);
    regions_.erase(it);  // the window owns it now
  }
  return rc;
}

void TracingWindows::set_picture(HWND hwnd, PictureControl control, int picture) {
  inner_.set_picture(hwnd, control, picture);
  if (control == PictureControl::Image2) line(hwnd, "Image2 " + std::string(LevelPictureName(picture)));
}

void TracingWindows::set_visible(HWND hwnd, PictureControl control, bool visible) {
  inner_.set_visible(hwnd, control, visible);
  auto it = windows_.find(hwnd);
  if (control != PictureControl::Mute || it == windows_.end() || it->second.mute == visible) return;
  it->second.mute = visible;
  line(hwnd, visible ? "Mute shown" : "Mute hidden");
}

// ---- message box -----------------------------------------------------------------------------

void TracingMessageBox::MsgBox(const std::string& text) {
  trace_("msgbox " + Quote(text));
  inner_.MsgBox(text);
}

}  // namespace brisel
