// Multimedia types shared by the wave-in and wave-out layers: result codes, the
// PCM format record, the buffer header, positions, device capabilities and the
// notification message numbers.
#pragma once
#include <cstdint>

using MMRESULT = unsigned int;
using DWORD = uint32_t;
using DWORD_PTR = uintptr_t;

enum : MMRESULT {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_INVALHANDLE = 5,
    MMSYSERR_NODRIVER = 6,
    MMSYSERR_NOMEM = 7,
    MMSYSERR_INVALFLAG = 10,
    MMSYSERR_INVALPARAM = 11,
    WAVERR_BADFORMAT = 32,
    WAVERR_STILLPLAYING = 33,
    WAVERR_UNPREPARED = 34,
};

// Any suitable device instead of a device number.
constexpr unsigned int WAVE_MAPPER = 0xFFFFFFFFu;

// Open flags.
enum : DWORD {
    WAVE_FORMAT_DIRECT = 0x0008,
    CALLBACK_NULL = 0x00000,
    CALLBACK_WINDOW = 0x10000,
    CALLBACK_FUNCTION = 0x30000,
};

// Notifications: posted to a callback window or passed to a callback function.
enum : unsigned int {
    MM_WOM_OPEN = 0x3BB,
    MM_WOM_CLOSE = 0x3BC,
    MM_WOM_DONE = 0x3BD,
    MM_WIM_OPEN = 0x3BE,
    MM_WIM_CLOSE = 0x3BF,
    MM_WIM_DATA = 0x3C0,
    WOM_OPEN = MM_WOM_OPEN,
    WOM_CLOSE = MM_WOM_CLOSE,
    WOM_DONE = MM_WOM_DONE,
    WIM_OPEN = MM_WIM_OPEN,
    WIM_CLOSE = MM_WIM_CLOSE,
    WIM_DATA = MM_WIM_DATA,
};

enum : unsigned short { WAVE_FORMAT_PCM = 1 };

// The PCM format record, 18 bytes without padding as it is stored in files.
#pragma pack(push, 1)
struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is stored as 18 bytes");

// Header flags.
enum : DWORD {
    WHDR_DONE = 0x01,
    WHDR_PREPARED = 0x02,
    WHDR_BEGINLOOP = 0x04,
    WHDR_ENDLOOP = 0x08,
    WHDR_INQUEUE = 0x10,
};

// One buffer handed to a device. The device owns it (and may write it from its
// own thread) from the add or write until the header is marked done.
struct WAVEHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
using wavehdr_tag = WAVEHDR;

enum : unsigned int { TIME_MS = 0x1, TIME_SAMPLES = 0x2, TIME_BYTES = 0x4 };

// A position; the device answers in the requested type when it can, else it
// changes wType to the type it answered in.
struct MMTIME {
    unsigned int wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
    } u;
};

// Device capabilities, 48 bytes: the name is all that is filled in besides the
// channel count.
struct WAVEINCAPS {
    uint16_t wMid;
    uint16_t wPid;
    uint32_t vDriverVersion;
    char szPname[32];
    DWORD dwFormats;
    uint16_t wChannels;
    uint16_t wReserved1;
};
static_assert(sizeof(WAVEINCAPS) == 48, "WAVEINCAPS is 48 bytes");

// The same record with the playback features after it.
struct WAVEOUTCAPS : WAVEINCAPS {
    DWORD dwSupport;
};
static_assert(sizeof(WAVEOUTCAPS) == 52, "WAVEOUTCAPS is 52 bytes");

// Opaque device handles. A closed handle stays invalid: every call on it
// returns MMSYSERR_INVALHANDLE, so a handle read by another thread while the
// device is being closed is harmless.
struct HWAVEIN__;
struct HWAVEOUT__;
using HWAVEIN = HWAVEIN__*;
using HWAVEOUT = HWAVEOUT__*;
