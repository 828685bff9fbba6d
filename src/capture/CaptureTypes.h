// Format choices and device states of the capture engine.
#pragma once
#include "platform/Export.h"
#include "platform/MMSystem.h"

// Index into the rate table 8000, 11025, 22050, 44100.
enum tagWAVERATE { RATE_8000 = 0, RATE_11025 = 1, RATE_22050 = 2, RATE_44100 = 3 };

enum tagSAMPLESIZE { SAMPLE_8BIT = 0, SAMPLE_16BIT = 1 };

enum WAVESTATE {
    WAVE_CLOSED = 0,    // no device open, no buffers
    WAVE_OPEN = 1,      // device open, four buffers prepared, not recording
    WAVE_RECORDING = 2, // recording; two buffers queued at the device
};

// Samples per second of a rate choice (11025 for an index outside the table).
VOK_API unsigned int RateOf(tagWAVERATE rate);
// Bits per sample of a size choice (16 for any value but SAMPLE_8BIT).
VOK_API unsigned int BitsOf(tagSAMPLESIZE size);
// The mono PCM record for the choices: block = bits / 8, bytes per second =
// bits * rate / 8, cbSize 0.
VOK_API WAVEFORMATEX MakeWaveFormat(tagWAVERATE rate, tagSAMPLESIZE size);
