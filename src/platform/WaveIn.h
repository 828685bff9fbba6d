// Wave input: capture of PCM audio into buffers the caller queues.
//
// The device fills the queued buffers in order from a thread of its own and
// never touches anything but the buffers: each filled buffer is marked done and
// announced by posting MM_WIM_DATA (wParam = the handle, lParam = the header)
// to the callback window, so the caller handles it on the GUI thread. Data
// that arrive while no buffer is queued wait in the device as long as its own
// buffering allows. A device that stops delivering never blocks a caller for
// long: stop, reset and close wait a bounded time for the device thread and
// then leave it behind.
//
// A device that fails while capturing (a read error, as when it is unplugged)
// hands back the buffer it was filling, marked done with the bytes it holds;
// from then on adding a buffer, starting and asking the position return
// MMSYSERR_NODRIVER until the device is closed and opened again.
//
// The callback window must stay alive until waveInClose has returned; no
// message is posted once it has. Messages posted before may still arrive, with
// the now invalid handle.
#pragma once
#include "platform/Export.h"
#include "platform/MMSystem.h"

class CWnd;

// Number of capture devices offered (see AudioSystem.h for the choice).
VOK_API unsigned int waveInGetNumDevs();
// Fills caps (size bytes, at most sizeof(WAVEINCAPS)) for device id or WAVE_MAPPER.
VOK_API MMRESULT waveInGetDevCaps(unsigned int id, WAVEINCAPS* caps, unsigned int size);

// Opens device id (or WAVE_MAPPER) with the format. flags: CALLBACK_WINDOW with
// a window, or CALLBACK_NULL (then poll WHDR_DONE); WAVE_FORMAT_DIRECT is
// accepted. Capture begins at waveInStart.
VOK_API MMRESULT waveInOpen(HWAVEIN* phwi, unsigned int id, const WAVEFORMATEX* pwfx,
                            CWnd* pCallbackWnd, DWORD_PTR dwInstance, DWORD flags);
VOK_API MMRESULT waveInClose(HWAVEIN hwi);

VOK_API MMRESULT waveInPrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size);
// WAVERR_STILLPLAYING while the header is queued.
VOK_API MMRESULT waveInUnprepareHeader(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size);
// Queues a prepared header; its dwBytesRecorded starts at 0. MMSYSERR_NODRIVER
// once the device has failed.
VOK_API MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size);

VOK_API MMRESULT waveInStart(HWAVEIN hwi);
// Stops capture; a partly filled buffer is returned, empty ones stay queued.
VOK_API MMRESULT waveInStop(HWAVEIN hwi);
// Stops capture, returns every queued buffer and sets the position to 0.
VOK_API MMRESULT waveInReset(HWAVEIN hwi);
// Samples captured since the last reset (TIME_SAMPLES, TIME_BYTES or TIME_MS).
VOK_API MMRESULT waveInGetPosition(HWAVEIN hwi, MMTIME* pmmt, unsigned int size);
