#include "platform/win32/coreaudio_mixer.h"

// MinGW's import libraries do not define the Core Audio class and interface identifiers:
// this file defines them, once for the program.
#include <initguid.h>

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_headers.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_message_window.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <atomic>
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

constexpr const wchar_t* kClassName = L"BriselOutput";
constexpr UINT kChanged = WM_APP + 1;         // the endpoint's volume or mute changed elsewhere
constexpr UINT kDefaultChanged = WM_APP + 2;  // another endpoint became the default

}  // namespace

// The callbacks come on threads of the system's, and may still come while the mixer ends (an
// unregistered callback may be running): each only posts a message to the window of the thread
// that follows, at most one of each kind waiting at a time, and none once the window has gone.
// The listener keeps this alive as long as it lives.
struct CoreAudioMixer::Shared {
  std::atomic<::HWND> window{nullptr};
  GUID context{};  // the event context of the program's own writes
  std::atomic<bool> changed{false}, default_changed{false};
  void post(std::atomic<bool>& pending, UINT message) {
    if (::HWND w = window.load(); w && !pending.exchange(true)) PostMessageA(w, message, 0, 0);
  }
};

class CoreAudioMixer::Listener : public IAudioEndpointVolumeCallback, public IMMNotificationClient {
 public:
  Listener() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IAudioEndpointVolumeCallback)
      *out = static_cast<IAudioEndpointVolumeCallback*>(this);
    else if (iid == IID_IMMNotificationClient)
      *out = static_cast<IMMNotificationClient*>(this);
    else
      return *out = nullptr, E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* data) override {
    if (data && shared_) Notified(*shared_, data->guidEventContext);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
    if (flow == eRender && role == eConsole && shared_) shared_->post(shared_->default_changed, kDefaultChanged);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

  static void Notified(Shared& shared, const GUID& context) {
    if (context != shared.context) shared.post(shared.changed, kChanged);  // the program's own: its echo
  }
  std::shared_ptr<Shared> shared_;

 private:
  virtual ~Listener() = default;
  std::atomic<ULONG> refs_{1};
};

CoreAudioMixer::CoreAudioMixer() {
  // S_FALSE (already initialised on this thread) must be balanced too; a thread that chose the
  // other apartment model can still use the endpoint objects, and is left as it is.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  uninitialize_ = SUCCEEDED(hr);
  shared_ = std::make_shared<Shared>();
  // A context no other program's write carries.
  if (FAILED(CoCreateGuid(&shared_->context))) shared_->context = GUID{0x6272'6973, 0x656c, 0x4f75, {1, 2, 3, 4, 5, 6, 7, 8}};
}

CoreAudioMixer::~CoreAudioMixer() {
  if (watched_) {
    watched_->UnregisterControlChangeNotify(listener_);
    watched_->Release();
  }
  if (listener_) {
    if (enumerator_) enumerator_->UnregisterEndpointNotificationCallback(listener_);
    listener_->Release();
  }
  if (::HWND window = shared_->window.exchange(nullptr)) DestroyWindow(window);
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
      if (listener_) enumerator_->RegisterEndpointNotificationCallback(listener_);
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

void CoreAudioMixer::follow(std::function<void()> changed) {
  changed_ = std::move(changed);
  shared_->window = CreateMessageWindow(kClassName, Proc, this);
  if (!shared_->window.load()) return Warn("CreateWindowExW", SystemText(GetLastError()) + " (a change of the volume made elsewhere is not followed)");
  listener_ = new Listener;
  listener_->shared_ = shared_;
  if (enumerator_) enumerator_->RegisterEndpointNotificationCallback(listener_);
  watch_default();
}

void CoreAudioMixer::watch_default() {
  if (watched_) {
    watched_->UnregisterControlChangeNotify(listener_);
    watched_->Release();
  }
  watched_ = endpoint_volume();
  if (watched_ && FAILED(watched_->RegisterControlChangeNotify(listener_))) {
    watched_->Release();
    watched_ = nullptr;
  }
}

void CoreAudioMixer::volume_notified(const GUID& context) { Listener::Notified(*shared_, context); }

const GUID& CoreAudioMixer::event_context() const { return shared_->context; }

void CoreAudioMixer::default_changed() { shared_->post(shared_->default_changed, kDefaultChanged); }

LRESULT CALLBACK CoreAudioMixer::Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* mixer = MessageWindowOwner<CoreAudioMixer>(hwnd);
  if (!mixer || (msg != kChanged && msg != kDefaultChanged)) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == kDefaultChanged) {
    mixer->shared_->default_changed = false;
    mixer->watch_default();  // the new default's notifications from now on
  } else {
    mixer->shared_->changed = false;
  }
  if (mixer->changed_) Guarded(mixer->changed_);
  return 0;
}

MMRESULT CoreAudioMixer::write(int, bool mute, std::uint32_t value) {
  Ref<IAudioEndpointVolume> volume;
  volume.p = endpoint_volume();
  if (!volume.p) return MMSYSERR_ERROR;
  const GUID* own = &shared_->context;
  const HRESULT hr = mute ? volume.p->SetMute(value != 0 ? TRUE : FALSE, own)
                          : volume.p->SetMasterVolumeLevelScalar(static_cast<float>(value) / 65535.0f, own);
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
