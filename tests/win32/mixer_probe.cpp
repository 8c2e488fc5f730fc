// Drives the Core Audio mixer the way the program does, through the mixer module, and prints
// each call's answer. Usage: mixer_probe.exe COMMAND...  with COMMAND one of
//   open            OpenMixer(0)
//   table           the filled entries of MixerControls: "K id=ID min=MIN max=MAX"
//   volume:ENTRY:V  SetVolume(ENTRY, V)
//   mute:ENTRY:F    SetMute(ENTRY, F)
//   read:ENTRY      GetControlValue(ENTRY): the value, or "none"
// tests/win32/coreaudio_test.sh reads Wine's log of the Core Audio calls that follow.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mixer/mixer_module.h"
#include "platform/win32/coreaudio_mixer.h"

int main(int argc, char** argv) {
  brisel::win32::CoreAudioMixer mixer;
  brisel::MixerModule module(mixer);
  for (int i = 1; i < argc; ++i) {
    const std::string command = argv[i];
    if (command == "open") {
      std::printf("OpenMixer = %d\n", module.OpenMixer(0) ? -1 : 0);
      continue;
    }
    if (command == "table") {
      for (int k = 0; k < 14; ++k) {
        const auto& e = module.MixerControls[static_cast<std::size_t>(k)];
        if (e.dwControlID) std::printf("%d id=%u min=%d max=%d\n", k, e.dwControlID, e.lMinimum, e.lMaximum);
      }
      continue;
    }
    int entry = 0, value = 0;
    if (std::sscanf(command.c_str(), "read:%d", &entry) == 1) {
      const auto read = module.GetControlValue(entry);
      std::printf("GetControlValue %d = %s\n", entry, read ? std::to_string(*read).c_str() : "none");
    } else if (std::sscanf(command.c_str(), "volume:%d:%d", &entry, &value) == 2) {
      std::printf("SetVolume %d %d = %d\n", entry, value, module.SetVolume(entry, value));
    } else if (std::sscanf(command.c_str(), "mute:%d:%d", &entry, &value) == 2) {
      std::printf("SetMute %d %d = %d\n", entry, value, module.SetMute(entry, static_cast<std::int16_t>(value)));
    } else {
      std::fprintf(stderr, "mixer_probe: unknown command %s\n", command.c_str());
      return 2;
    }
    std::fflush(stdout);
  }
  return 0;
}
