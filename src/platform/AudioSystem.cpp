#include "platform/AudioSystem.h"
#include "platform/MMSystem.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <dlfcn.h>
#include <portaudio.h>

namespace {

// libasound reports through a handler of this shape; libjack through a plain
// text callback. Both libraries come in with PortAudio, so they are looked up
// among the loaded libraries rather than linked.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetHandler = int (*)(AlsaErrorHandler);
using JackTextHandler = void (*)(const char*);
using JackSetHandler = void (*)(JackTextHandler);

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

void SilenceLibraries() {
    if (void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD)) {
        if (auto set = reinterpret_cast<AlsaSetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
            set(QuietAlsa);
        dlclose(alsa);
    }
    if (void* jack = dlopen("libjack.so.0", RTLD_NOW | RTLD_NOLOAD)) {
        for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
            if (auto set = reinterpret_cast<JackSetHandler>(dlsym(jack, name))) set(QuietJack);
        dlclose(jack);
    }
    // A JACK server is never started on our behalf just to list devices.
    setenv("JACK_NO_START_SERVER", "1", 0);
}

struct Session {
    std::mutex lock;
    bool tried = false;
    bool ok = false;
    std::atomic<bool> abandoned{false};
    std::atomic<int> open{0};
    std::string selected; // under lock
};

// Never destroyed: a device thread left behind may still use it at exit.
Session& TheSession() {
    static Session* s = new Session;
    return *s;
}

void TerminateAtExit() {
    Session& s = TheSession();
    if (s.ok && !s.abandoned && s.open == 0) Pa_Terminate();
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// The program's selection, else VOK_AUDIO_DEVICE; empty for the default.
std::string Selected() {
    Session& s = TheSession();
    {
        std::lock_guard<std::mutex> lk(s.lock);
        if (!s.selected.empty()) return s.selected;
    }
    const char* env = std::getenv("VOK_AUDIO_DEVICE");
    return env ? env : "";
}

} // namespace

namespace AudioSystem {

bool Init() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lk(s.lock);
    if (!s.tried) {
        s.tried = true;
        SilenceLibraries();
        s.ok = Pa_Initialize() == paNoError;
        if (s.ok) std::atexit(TerminateAtExit);
        // libasound may only now have been loaded by PortAudio's ALSA host.
        SilenceLibraries();
    }
    return s.ok;
}

std::vector<int> Devices(bool input) {
    std::vector<int> out;
    if (!Init()) return out;
    PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(paALSA);
    if (api < 0) return out;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
    if (!info) return out;

    std::vector<int> all;
    for (int i = 0; i < info->deviceCount; ++i) {
        PaDeviceIndex d = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
        if (d >= 0 && MaxChannels(d, input) > 0) all.push_back(d);
    }

    std::string wanted = Selected();
    if (!wanted.empty()) {
        const std::string w = Lower(wanted);
        for (int d : all)
            if (Lower(DeviceName(d)) == w) out.push_back(d);
        for (int d : all)
            if (Lower(DeviceName(d)) != w && Lower(DeviceName(d)).find(w) != std::string::npos)
                out.push_back(d);
        return out;
    }

    PaDeviceIndex def = input ? info->defaultInputDevice : info->defaultOutputDevice;
    if (def >= 0 && std::find(all.begin(), all.end(), def) != all.end()) out.push_back(def);
    for (int d : all)
        if (d != def) out.push_back(d);
    return out;
}

std::vector<DEVICE_ENTRY> AllDevices() {
    std::vector<DEVICE_ENTRY> out;
    if (!Init()) return out;
    PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(paALSA);
    const PaHostApiInfo* info = api < 0 ? nullptr : Pa_GetHostApiInfo(api);
    if (!info) return out;
    for (int i = 0; i < info->deviceCount; ++i) {
        PaDeviceIndex d = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
        if (d < 0) continue;
        DEVICE_ENTRY e;
        e.name = DeviceName(d);
        e.bCapture = MaxChannels(d, true) > 0;
        e.bPlayback = MaxChannels(d, false) > 0;
        e.bDefaultCapture = d == info->defaultInputDevice;
        e.bDefaultPlayback = d == info->defaultOutputDevice;
        if (e.bCapture || e.bPlayback) out.push_back(e);
    }
    return out;
}

int FindDevice(const std::string& wanted, std::vector<std::string>& candidates) {
    candidates.clear();
    const std::string w = Lower(wanted);
    std::vector<std::string> all;
    for (const DEVICE_ENTRY& e : AllDevices()) {
        if (Lower(e.name) == w) {
            candidates.assign(1, e.name);
            return 1;
        }
        all.push_back(e.name);
        if (!w.empty() && Lower(e.name).find(w) != std::string::npos) candidates.push_back(e.name);
    }
    const int n = int(candidates.size());
    if (n == 0) candidates = all;
    return n;
}

std::string SelectDevice(const std::string& name) {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lk(s.lock);
    std::string old = s.selected;
    s.selected = name;
    return old;
}

int DeviceFor(unsigned int id, bool input) {
    std::vector<int> devs = Devices(input);
    if (devs.empty()) return -1;
    if (id == WAVE_MAPPER) return devs.front();
    return id < devs.size() ? devs[id] : -1;
}

std::string DeviceName(int paDevice) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
    return info && info->name ? info->name : "";
}

int MaxChannels(int paDevice, bool input) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
    if (!info) return 0;
    return input ? info->maxInputChannels : info->maxOutputChannels;
}

double HighLatency(int paDevice, bool input) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
    if (!info) return 0.1;
    return input ? info->defaultHighInputLatency : info->defaultHighOutputLatency;
}

unsigned int CheckFormat(const WAVEFORMATEX* f) {
    if (!f || f->wFormatTag != WAVE_FORMAT_PCM) return WAVERR_BADFORMAT;
    if (f->nChannels < 1 || f->nChannels > 2) return WAVERR_BADFORMAT;
    if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return WAVERR_BADFORMAT;
    if (f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8) return WAVERR_BADFORMAT;
    if (f->nSamplesPerSec < 1000 || f->nSamplesPerSec > 192000) return WAVERR_BADFORMAT;
    return MMSYSERR_NOERROR;
}

unsigned long SampleFormat(const WAVEFORMATEX* f) {
    return f->wBitsPerSample == 8 ? paUInt8 : paInt16;
}

unsigned int ResultOf(int e) {
    switch (e) {
    case paNoError:
        return MMSYSERR_NOERROR;
    case paInvalidChannelCount:
    case paInvalidSampleRate:
    case paSampleFormatNotSupported:
        return WAVERR_BADFORMAT;
    case paDeviceUnavailable:
        return MMSYSERR_ALLOCATED;
    case paInsufficientMemory:
        return MMSYSERR_NOMEM;
    case paInvalidDevice:
        return MMSYSERR_BADDEVICEID;
    default:
        return MMSYSERR_ERROR;
    }
}

void StreamOpened() {
    ++TheSession().open;
}
void StreamClosed() {
    --TheSession().open;
}
void NoteAbandonedStream() {
    TheSession().abandoned = true;
}

} // namespace AudioSystem
