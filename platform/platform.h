// What the behaviour needs of an operating system, and the one way a backend reports what the
// user did. Every call keeps the shape of the system call it stands for; the behaviour never
// includes a system header. Implementations live in platform/sim, platform/linux and
// platform/win32; platform/trace.h writes a trace of any of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/winmm.h"
#include "resources/layout.h"

namespace brisel {

// Monotonic milliseconds; the timer table schedules against it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t now_ms() const = 0;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Nonzero when the key is down now (top bit) or was pressed since the previous query of
  // the same key (lowest bit).
  virtual std::int16_t GetAsyncKeyState(std::int32_t vk) = 0;
};

class Mixer {
 public:
  virtual ~Mixer() = default;
  virtual std::uint32_t mixerGetNumDevs() = 0;
  virtual winmm::MMRESULT mixerOpen(winmm::HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t dwCallback,
                                    std::uintptr_t dwInstance, std::uint32_t fdwOpen) = 0;
  virtual winmm::MMRESULT mixerGetLineInfoA(winmm::HMIXER hmx, winmm::MIXERLINEA* pmxl, std::uint32_t fdwInfo) = 0;
  virtual winmm::MMRESULT mixerGetLineControlsA(winmm::HMIXER hmx, winmm::MIXERLINECONTROLSA* pmxlc,
                                                std::uint32_t fdwControls) = 0;
  virtual winmm::MMRESULT mixerSetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                                 std::uint32_t fdwDetails) = 0;
  // Reads a control's current value into the caller's details block.
  virtual winmm::MMRESULT mixerGetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                                 std::uint32_t fdwDetails) = 0;
};

// The picture controls whose content or visibility changes at run time.
enum class PictureControl { Image2, Mute };

using HWND = std::uint32_t;
using HRGN = std::uint32_t;

inline constexpr std::int32_t GWL_EXSTYLE = -20;
inline constexpr std::int32_t WS_EX_LAYERED = 0x80000;
inline constexpr std::uint32_t LWA_ALPHA = 2;

// What the user does in a window, as a backend reports it: implemented once, by the program.
// `control` is a control's name in the window's layout. A name the window has no such control
// for is a fault of the backend, reported by an exception (std::invalid_argument).
class Input {
 public:
  virtual ~Input() = default;
  // A click on a button (the dialog's "Run" is Command1).
  virtual void click(HWND window, std::string_view control) = 0;
  // The edit text of a selector changed: typed, or picked from its list.
  virtual void text_changed(HWND window, std::string_view control, std::string text) = 0;
  // The user asked to close the window (the window manager's close, Alt+F4). Not Escape.
  virtual void close(HWND window) = 0;
  // The mixer's output changed without the program: another program set its volume or mute, or
  // another output became the default. Never the echo of the program's own writes.
  virtual void output_changed() = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Where the windows report the user's actions; set once, before the first window is made.
  virtual void set_input(Input& input) = 0;
  // Creates a form's window from its layout (title, size, controls, fonts, tab order, the
  // selectors' items), hidden; called when the form is loaded.
  virtual HWND create_window(const WindowLayout& layout) = 0;
  // Puts a text into a selector the way the user's typing does, and reports it to the input
  // as typing is reported (the command line's --up, --down, --mute).
  virtual void type(HWND window, std::string_view control, const std::string& text) = 0;
  virtual void show(HWND hwnd) = 0;
  virtual void hide(HWND hwnd) = 0;

  virtual std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) = 0;
  virtual std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) = 0;
  virtual bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha,
                                          std::uint32_t dwFlags) = 0;
  virtual HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) = 0;
  virtual int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) = 0;

  // A picture control shows the stored picture `picture` (a level picture index, see
  // resources/pictures.h); only Image2's content changes.
  virtual void set_picture(HWND hwnd, PictureControl control, int picture) = 0;
  virtual void set_visible(HWND hwnd, PictureControl control, bool visible) = 0;
};

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // A box with the text and one OK button; returns when the user has closed it.
  virtual void MsgBox(const std::string& text) = 0;
};

struct Platform {
  Clock& clock;
  Keyboard& keyboard;
  Mixer& mixer;
  WindowSystem& windows;
  MessageBox& msgbox;
};

}  // namespace brisel
