#include "platform/win32/coreaudio_mixer.h"

// MinGW's import libraries do not define the Core Audio class and interface identifiers:
// this file defines them, once for the program.
#include <initguid.h>

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_headers.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <cmath>

namespace brisel::win32 {

using namespace winmm;

namespace {

// Releases a COM interface at the end of its scope.
template <class T>
struct Ref {
  T* p = nullptr;
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p) p->Release();
  }
  void** out() { return reinterpret_cast<void**>(&p); }
};

}  // namespace

CoreAudioMixer::CoreAudioMixer() {
  // S_FALSE (already initialised on this thread) must be balanced too; a thread that chose the
  // other apartment model can still use the endpoint objects, and is left as it is.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  uninitialize_ = SUCCEEDED(hr);
}

CoreAudioMixer::~CoreAudioMixer() {
  if (enumerator_) enumerator_->Release();
  if (uninitialize_) CoUninitialize();
}

const char* CoreAudioMixer::line_name(int line) const { return line == kSpeakers ? "Speakers" : "Wave"; }

IMMDeviceEnumerator* CoreAudioMixer::enumerator() {
  if (!enumerator_) {
    void* p = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_ALL, IID_IMMDeviceEnumerator, &p);
    if (SUCCEEDED(hr)) {
      enumerator_ = static_cast<IMMDeviceEnumerator*>(p);
    } else if (!warned_) {
      // Without the enumerator no write reaches a device; asked again at the next write.
      Warn("CoCreateInstance", SystemText(static_cast<DWORD>(hr)) + " (the volume keys change nothing)");
      warned_ = true;
    }
  }
  return enumerator_;
}

IAudioEndpointVolume* CoreAudioMixer::endpoint_volume() {
  IMMDeviceEnumerator* devices = enumerator();
  if (!devices) return nullptr;
  Ref<IMMDevice> device;
  if (FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device.p))) return nullptr;
  void* volume = nullptr;
  if (FAILED(device.p->Activate(IID_IAudioEndpointVolume, CLSCTX_ALL, nullptr, &volume))) return nullptr;
  return static_cast<IAudioEndpointVolume*>(volume);
}

MMRESULT CoreAudioMixer::write(int, bool mute, std::uint32_t value) {
  Ref<IAudioEndpointVolume> volume;
  volume.p = endpoint_volume();
  if (!volume.p) return MMSYSERR_ERROR;
  const HRESULT hr = mute ? volume.p->SetMute(value != 0 ? TRUE : FALSE, nullptr)
                          : volume.p->SetMasterVolumeLevelScalar(static_cast<float>(value) / 65535.0f, nullptr);
  return SUCCEEDED(hr) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT CoreAudioMixer::read(int, bool mute, std::uint32_t& value) {
  Ref<IAudioEndpointVolume> volume;
  volume.p = endpoint_volume();
  if (!volume.p) return MMSYSERR_ERROR;
  BOOL muted = FALSE;
  float level = 0.0f;
  const HRESULT hr = mute ? volume.p->GetMute(&muted) : volume.p->GetMasterVolumeLevelScalar(&level);
  if (FAILED(hr)) return MMSYSERR_ERROR;  // Wine answers E_NOTIMPL for the level
  value = mute ? (muted ? 1u : 0u)
               : static_cast<std::uint32_t>(std::lround(std::clamp(level, 0.0f, 1.0f) * 65535.0f));
  return MMSYSERR_NOERROR;
}

}  // namespace brisel::win32
