// Wave output: playback of PCM buffers the caller writes.
//
// Written buffers are played in order from a thread of the device. Each buffer
// is reported exactly once through the callback function with WOM_DONE
// (param1 = the header): when it has been played to its end (the device has
// drained it), or when waveOutReset or waveOutClose returns it unplayed. The
// callback runs on the device's thread, or on the thread calling reset or
// close; it must not call the wave-out functions. WOM_OPEN and WOM_CLOSE are
// reported on the thread that opens and closes.
//
// Any thread may call these functions; a closed handle is simply invalid, so a
// position query racing with a close gets MMSYSERR_INVALHANDLE.
#pragma once
#include "platform/Export.h"
#include "platform/MMSystem.h"

using WAVEOUTPROC = void (*)(HWAVEOUT hwo, unsigned int msg, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2);

VOK_API unsigned int waveOutGetNumDevs();
VOK_API MMRESULT waveOutGetDevCaps(unsigned int id, WAVEOUTCAPS* caps, unsigned int size);

// Opens device id (or WAVE_MAPPER) with the format. flags: CALLBACK_FUNCTION
// with a callback, or CALLBACK_NULL (then poll WHDR_DONE).
VOK_API MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned int id, const WAVEFORMATEX* pwfx,
                             WAVEOUTPROC callback, DWORD_PTR instance, DWORD flags);
// Returns any buffer still queued (WOM_DONE), then closes (WOM_CLOSE).
VOK_API MMRESULT waveOutClose(HWAVEOUT hwo);

VOK_API MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size);
// WAVERR_STILLPLAYING while the header is queued.
VOK_API MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size);
// Queues a prepared header for playing; dwBufferLength bytes from lpData.
VOK_API MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size);
// Stops playing and returns every queued buffer; the position goes back to 0.
VOK_API MMRESULT waveOutReset(HWAVEOUT hwo);
// Samples played since the last reset (TIME_SAMPLES, TIME_BYTES or TIME_MS).
VOK_API MMRESULT waveOutGetPosition(HWAVEOUT hwo, MMTIME* pmmt, unsigned int size);
