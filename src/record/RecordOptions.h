// What a host may switch on beyond the "Record Item" dialog's standard
// behaviour, set with DlgRecord::SetOptions before DoModal. The defaults are
// the standard behaviour: 11025 Hz 8-bit mono, the standard speech locator,
// the default device and none of the session aids.
#pragma once
#include <string>

// Which speech locator the analysis after a recording runs.
enum LOCATOR : int {
    LOCATOR_SPEC = 0,    // LocateSpeech, the standard one
    LOCATOR_REFINED = 1, // noise-floor based, keeps weak word edges
};

// The locator named "spec" or "refined"; -1 for any other name.
inline int LocatorByName(const std::string& name) {
    if (name == "spec") return LOCATOR_SPEC;
    if (name == "refined") return LOCATOR_REFINED;
    return -1;
}

struct RECORD_OPTIONS {
    // Recording format: 8000, 11025, 22050, 44100 or 48000 Hz; 8 or 16 bits.
    int nRate = 11025;
    int nBits = 8;
    int iLocator = LOCATOR_SPEC;
    // Capture and playback device (exact name or a unique part of it); empty
    // means VOK_AUDIO_DEVICE, or the system default when that is unset.
    std::string strDevice;

    // Session aids, each off by default.
    int bProgress = 0;   // done marks in the "File" list, "n of m recorded"
    int bResume = 0;     // at open, select the first item without a file
    int bLevelMeter = 0; // live level while recording, "Clipped"/"Very quiet"
    int bKeyboard = 0;   // shortcuts for the buttons and the markers
    int bKeepTakes = 0;  // FOLDER/takes/ITEM and FOLDER/session.csv
    int bHelp = 0;       // the help button opens a help text
};
