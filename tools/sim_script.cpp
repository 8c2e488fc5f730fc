#include "tools/sim_script.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/text_numbers.h"
#include "display/splash.h"
#include "platform/sim/sim_platform.h"
#include "resources/art.h"
#include "resources/image.h"
#include "resources/pictures.h"
#include "setup/config.h"

namespace brisel::sim {

namespace {

struct ParseError {
  std::string why;
};

struct Word {
  std::string text;
  bool quoted = false;
};

std::vector<Word> Split(const std::string& line) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i == line.size()) return words;
    Word w;
    if (line[i] != '"') {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') w.text += line[i++];
      words.push_back(std::move(w));
      continue;
    }
    w.quoted = true;
    for (++i;; ++i) {
      if (i == line.size()) throw ParseError{"unterminated text"};
      char c = line[i];
      if (c == '"') break;
      if (c == '\\') {
        if (++i == line.size()) throw ParseError{"unterminated text"};
        switch (line[i]) {
          case '"': c = '"'; break;
          case '\\': c = '\\'; break;
          case 't': c = '\t'; break;
          case 'n': c = '\n'; break;
          case 'r': c = '\r'; break;
          default: throw ParseError{std::string("unknown escape \\") + line[i]};
        }
      }
      w.text += c;
    }
    ++i;
    if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
      throw ParseError{"text followed by other characters"};
    words.push_back(std::move(w));
  }
}

template <typename Int>
Int ParseInt(const Word& w, const char* what, Int lo = std::numeric_limits<Int>::min(),
             Int hi = std::numeric_limits<Int>::max()) {
  long long v = 0;
  const char* end = w.text.data() + w.text.size();
  auto [ptr, ec] = std::from_chars(w.text.data(), end, v);
  if (w.quoted || w.text.empty() || ec != std::errc() || ptr != end || v < static_cast<long long>(lo) ||
      v > static_cast<long long>(hi))
    throw ParseError{std::string("bad ") + what + " '" + w.text + "'"};
  return static_cast<Int>(v);
}

const char* Truth(bool b) { return b ? "-1" : "0"; }

constexpr std::uint64_t kMaxWait = 86'400'000;  // one day, in milliseconds

class Session {
 public:
  Session(std::ostream& out, Scale scale)
      : out_(out), scale_(scale), sim_([this](const std::string& line) { out_ << line << '\n'; }) {}

  void execute(const std::vector<Word>& w);
  std::uint64_t now() const { return sim_.clock.now_ms(); }

 private:
  void setup(const std::vector<Word>& w);
  void set_value(const std::vector<Word>& w);
  void change_elsewhere(const std::vector<Word>& w);
  void wait(std::uint64_t ms);
  void call(const std::vector<Word>& w);
  void snapshot(const std::string& file);
  std::string value_of(const std::string& name);
  std::string window_value(bool config, const std::string& prop);
  Program& running() {
    if (!program_) throw ParseError{"the program has not started"};
    return *program_;
  }
  static void arity(const std::vector<Word>& w, std::size_t n) {
    if (w.size() != n) throw ParseError{"expected " + std::to_string(n) + " words, found " + std::to_string(w.size())};
  }

  std::ostream& out_;
  Scale scale_;  // what snapshots are drawn at
  SimPlatform sim_;
  std::uint32_t floor_ = 10;
  std::unique_ptr<Program> program_;
};

void Session::execute(const std::vector<Word>& w) {
  const std::string& cmd = w[0].text;
  if (w[0].quoted) throw ParseError{"a command cannot be a text"};
  if (cmd == "mixer" && program_ && w.size() > 1 && w[1].text == "value") return change_elsewhere(w);
  if (cmd == "mixer" || cmd == "timer") return setup(w);
  if (cmd == "start") {
    arity(w, 1);
    if (program_) throw ParseError{"second start"};
    program_ = std::make_unique<Program>(sim_.platform, floor_);
    program_->start();
    return;
  }
  if (cmd == "wait") {
    arity(w, 2);
    running();
    // At most a day at a time: beyond that a script would tick for hours of real time.
    return wait(ParseInt<std::uint64_t>(w[1], "time", 0, kMaxWait));
  }
  if (cmd == "key") {
    arity(w, 3);
    running();
    const int vk = ParseInt<int>(w[2], "key code", 0, 255);
    if (w[1].text == "down") return sim_.keyboard.down(vk);
    if (w[1].text == "up") return sim_.keyboard.up(vk);
    throw ParseError{"key takes down or up"};
  }
  if (cmd == "tap") {
    arity(w, 2);
    running();
    return sim_.keyboard.tap(ParseInt<int>(w[1], "key code", 0, 255));
  }
  if (cmd == "select") {
    arity(w, 3);
    Program& p = running();
    if (!w[2].quoted) throw ParseError{"select takes a text in double quotes"};
    const std::string& s = w[1].text;
    if (s != "volumeup" && s != "volumedown" && s != "volumemute") throw ParseError{"unknown selector '" + s + "'"};
    p.Config();
    return sim_.windows.type("Config", s, w[2].text);
  }
  if (cmd == "click") {
    arity(w, 2);
    running();
    if (w[1].text != "Run") throw ParseError{"only Run can be clicked"};
    return sim_.windows.click("Config", "Command1");  // "Run"
  }
  if (cmd == "print") {
    arity(w, 2);
    running();
    out_ << w[1].text << " = " << value_of(w[1].text) << '\n';
    return;
  }
  if (cmd == "call") return call(w);
  if (cmd == "snapshot") {
    arity(w, 3);
    running();
    if (w[1].text != "Splash") throw ParseError{"only Splash can be snapshot"};
    return snapshot(w[2].text);
  }
  throw ParseError{"unknown command '" + cmd + "'"};
}

void Session::setup(const std::vector<Word>& w) {
  if (program_) throw ParseError{"setting up after start"};
  if (w.size() < 2) throw ParseError{"incomplete command"};
  const std::string& what = w[1].text;
  if (w[0].text == "timer") {
    arity(w, 3);
    if (what != "floor") throw ParseError{"unknown timer setting '" + what + "'"};
    floor_ = ParseInt<std::uint32_t>(w[2], "floor", 1);
    return;
  }
  if (what == "devices") {
    arity(w, 3);
    return sim_.mixer.set_devices(ParseInt<std::uint32_t>(w[2], "device count"));
  }
  if (what == "clear") {
    arity(w, 2);
    return sim_.mixer.clear();
  }
  if (what == "open" || what == "refuses") {
    if (what == "open") {
      arity(w, 3);
      if (w[2].text != "fails") throw ParseError{"mixer open takes fails"};
      return sim_.mixer.set_open_fails();
    }
    arity(w, 2);
    return sim_.mixer.set_refuses();
  }
  if (what == "line") {
    arity(w, 7);
    static constexpr const char* kLines[] = {"speakers", "line", "microphone", "synthesizer",
                                             "compactdisc", "waveout", "auxiliary"};
    int line = -1;
    for (int i = 0; i < 7; ++i)
      if (w[2].text == kLines[i]) line = i;
    if (line < 0) throw ParseError{"unknown line '" + w[2].text + "'"};
    if (w[3].text != "volume" && w[3].text != "mute") throw ParseError{"unknown control '" + w[3].text + "'"};
    sim_.mixer.add_control(static_cast<Line>(line), w[3].text == "mute" ? ControlKind::mute : ControlKind::volume,
                           ParseInt<std::uint32_t>(w[4], "identifier"), ParseInt<std::int32_t>(w[5], "minimum"),
                           ParseInt<std::int32_t>(w[6], "maximum"));
    return;
  }
  if (what == "value") return set_value(w);
  throw ParseError{"unknown mixer setting '" + what + "'"};
}

// A control's value as another program sets it.
void Session::set_value(const std::vector<Word>& w) {
  arity(w, 4);
  const auto id = ParseInt<std::uint32_t>(w[2], "identifier");
  if (!sim_.mixer.set_value(id, ParseInt<std::int32_t>(w[3], "value")))
    throw ParseError{"mixer device 0 has no control " + w[2].text};
}

// Another program changes a control while Brisel runs: the mixer reports it at once, as a real
// one reports a change it did not make.
void Session::change_elsewhere(const std::vector<Word>& w) {
  set_value(w);
  program_->output_changed();
}

void Session::wait(std::uint64_t ms) { Advance(sim_.clock, program_->timers, ms); }

// What the display shows now; a display not loaded yet would show its first look.
void Session::snapshot(const std::string& file) {
  const SimWindow* win = sim_.windows.find("Splash");
  const GreyImage view = art::ComposeSplash(win ? win->image2 : kEmptyBar, win && win->mute, scale_);
  std::ofstream out(file, std::ios::binary);
  out << EncodeBmp(view);
  out.close();
  if (!out) throw ParseError{"cannot write " + file};
}

void Session::call(const std::vector<Word>& w) {
  Program& p = running();
  if (w.size() < 2) throw ParseError{"call what?"};
  const std::string& fn = w[1].text;
  if (fn == "SetTranslucency") {
    arity(w, 4);
    if (w[2].text != "Config" && w[2].text != "Splash") throw ParseError{"unknown window '" + w[2].text + "'"};
    const auto opacity = ParseInt<std::int16_t>(w[3], "opacity");
    const HWND hwnd = w[2].text == "Config" ? p.Config().hWnd : p.Splash().hWnd;
    return p.module1.SetTranslucency(hwnd, opacity);
  }
  if (fn == "OpenMixer") {
    arity(w, 3);
    const bool opened = p.mixer.OpenMixer(ParseInt<std::int32_t>(w[2], "device"));
    out_ << "OpenMixer = " << Truth(opened) << '\n';
    return;
  }
  if (fn == "SetVolume" || fn == "SetMute") {
    arity(w, 4);
    const auto index = ParseInt<std::int32_t>(w[2], "index");
    std::string result;
    try {
      result = fn == "SetVolume" ? std::to_string(p.mixer.SetVolume(index, ParseInt<std::int32_t>(w[3], "value")))
                                 : std::to_string(p.mixer.SetMute(index, ParseInt<std::int16_t>(w[3], "flag")));
      out_ << fn << " = " << result << '\n';
    } catch (const RuntimeError& e) {
      out_ << "error: " << e.description() << '\n';
    }
    return;
  }
  throw ParseError{"unknown procedure '" + fn + "'"};
}

std::string Session::value_of(const std::string& name) {
  Program& p = *program_;
  if (name == "now") return std::to_string(now());
  if (name == "hMixer") return std::to_string(p.mixer.hMixer);
  if (name.starts_with("MixerControls[") && name.ends_with("]")) {
    const Word k{name.substr(14, name.size() - 15)};
    const auto& e = p.mixer.MixerControls[static_cast<std::size_t>(ParseInt<int>(k, "entry", 0, 20))];
    return "id=" + std::to_string(e.dwControlID) + " min=" + std::to_string(e.lMinimum) +
           " max=" + std::to_string(e.lMaximum);
  }
  if (name.starts_with("mixer[") && name.ends_with("]")) {
    const auto v = sim_.mixer.value(ParseInt<std::uint32_t>(Word{name.substr(6, name.size() - 7)}, "identifier"));
    return v ? std::to_string(*v) : "unset";
  }
  const auto dot = name.find('.');
  if (dot != std::string::npos && (name.substr(0, dot) == "Config" || name.substr(0, dot) == "Splash"))
    return window_value(name.substr(0, dot) == "Config", name.substr(dot + 1));
  throw ParseError{"unknown name '" + name + "'"};
}

std::string Session::window_value(bool config, const std::string& prop) {
  static constexpr const char* kConfigNames[] = {"loaded",      "visible",     "opacity",  "outcomeup",
                                                 "outcomedown", "outcomemute", "Amount",   "volumeup",
                                                 "volumedown",  "volumemute"};
  static constexpr const char* kSplashNames[] = {"loaded", "visible", "opacity", "VolCount", "Volume", "yesno",
                                                 "Amount", "first",   "Timer",   "Image2",   "Mute"};
  bool known = false;
  if (config) {
    for (const char* n : kConfigNames) known = known || prop == n;
    for (const auto& row : ConfigForm::kTimers) known = known || prop == row.name;
  } else {
    for (const char* n : kSplashNames) known = known || prop == n;
    for (const auto& row : SplashForm::kTimers) known = known || prop == row.name;
  }
  if (!known) throw ParseError{"unknown name '" + std::string(config ? "Config." : "Splash.") + prop + "'"};

  Program& p = *program_;
  const bool loaded = config ? p.loaded_config() != nullptr : p.loaded_splash() != nullptr;
  if (prop == "loaded") return loaded ? "yes" : "no";
  if (!loaded) return "unloaded";
  const SimWindow& win = *sim_.windows.find(config ? "Config" : "Splash");
  if (prop == "visible") return win.visible ? "shown" : "hidden";
  if (prop == "opacity") return win.opacity ? std::to_string(*win.opacity) : "none";
  auto timer = [](const FormTimer& t) -> std::string { return t.enabled() ? "enabled" : "disabled"; };
  if (config) {
    ConfigForm& c = *p.loaded_config();
    for (const auto& row : ConfigForm::kTimers)
      if (prop == row.name) return timer(c.*row.timer);
    if (prop == "outcomeup") return c.outcomeup;
    if (prop == "outcomedown") return c.outcomedown;
    if (prop == "outcomemute") return c.outcomemute;
    if (prop == "Amount") return c.Amount;
    if (prop == "volumeup") return Quote(c.volumeup);
    if (prop == "volumedown") return Quote(c.volumedown);
    return Quote(c.volumemute);
  }
  SplashForm& s = *p.loaded_splash();
  for (const auto& row : SplashForm::kTimers)
    if (prop == row.name) return timer(s.*row.timer);
  if (prop == "VolCount") return s.VolCount;
  if (prop == "Volume") return s.Volume;
  if (prop == "yesno") return s.yesno;
  if (prop == "Amount") return s.Amount;
  if (prop == "first") return s.first;
  if (prop == "Timer") return s.Timer;
  if (prop == "Image2") return std::string(LevelPictureName(win.image2));
  return win.mute ? "shown" : "hidden";
}

}  // namespace

int RunScript(std::istream& script, std::ostream& out, std::ostream& err, Scale scale) {
  Session session(out, scale);
  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    try {
      const auto words = Split(line);
      if (words.empty() || (!words[0].quoted && words[0].text[0] == '#')) continue;
      session.execute(words);
    } catch (const ParseError& e) {
      out.flush();
      err << "error line " << number << ": " << e.why << '\n';
      return kScriptUnparsable;
    } catch (const RuntimeError& e) {
      out << session.now() << " error " << Quote(e.description()) << '\n';
      return kScriptRuntimeError;
    }
  }
  return kScriptDone;
}

}  // namespace brisel::sim
