// The audio back end under the wave-in and wave-out layers: PortAudio on its
// ALSA host API, initialised once per process, with the libraries' own
// diagnostics kept off the terminal.
//
// Device choice: the environment variable VOK_AUDIO_DEVICE, when set and not
// empty, names the device to use (an exact PortAudio device name, or else a
// part of one, compared without regard to case); only matching devices are
// then offered. Without it the system's default device comes first, followed by
// every other device of that direction. A device selected by the program
// (SelectDevice) takes the variable's place.
#pragma once
#include "platform/Export.h"
#include "platform/MMSystem.h"
#include <cstdint>
#include <string>
#include <vector>

namespace AudioSystem {

// Initialises PortAudio on first use; false when it cannot be initialised.
// Safe from any thread.
bool Init();

// PortAudio device numbers offered for capture (input) or playback, in wave
// device order: entry 0 is the one the wave mapper picks.
std::vector<int> Devices(bool input);

// PortAudio device number for a wave device id (WAVE_MAPPER or 0 .. count-1);
// -1 when there is none.
int DeviceFor(unsigned int id, bool input);

std::string DeviceName(int paDevice);

// Every device of the ALSA host, in PortAudio's order, whatever the selection.
struct VOK_API DEVICE_ENTRY {
    std::string name;
    bool bCapture = false, bPlayback = false;
    bool bDefaultCapture = false, bDefaultPlayback = false;
};
VOK_API std::vector<DEVICE_ENTRY> AllDevices();

// Finds the one device a name means: its exact name (case does not matter),
// or else the only name containing it. Returns how many devices match (1
// for an exact name); candidates gets the one device's name, the names
// containing it when more match, or every name when none does.
VOK_API int FindDevice(const std::string& wanted, std::vector<std::string>& candidates);

// Selects the device used in place of VOK_AUDIO_DEVICE (matched the same
// way); empty returns to the variable. Returns the selection it replaces.
VOK_API std::string SelectDevice(const std::string& name);
int MaxChannels(int paDevice, bool input);
double HighLatency(int paDevice, bool input);

// Checks a PCM format (1 or 2 channels of 8 or 16 bits, a matching block size,
// a rate from 1000 to 192000): MMSYSERR_NOERROR or WAVERR_BADFORMAT.
unsigned int CheckFormat(const WAVEFORMATEX* fmt);
// PortAudio sample format for 8 or 16 bits.
unsigned long SampleFormat(const WAVEFORMATEX* fmt);
// The wave result for a PortAudio error.
unsigned int ResultOf(int paError);

// How long stop, reset and close wait for a device thread inside the device
// before they leave it behind.
constexpr int kDeviceWaitMs = 1000;

// Open streams are counted: PortAudio is terminated at exit only when none is
// left open and none was abandoned to a thread stuck inside its device, since
// terminating would then wait for that thread.
void StreamOpened();
void StreamClosed();
void NoteAbandonedStream();

} // namespace AudioSystem
