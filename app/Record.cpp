#include "Record.h"
#include "record/DlgRecord.h"
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <portaudio.h>
#include <string>
#include <vector>

namespace {
const char* kUsage =
    "usage: vokrec record --folder DIR (--items NAME... | --item-file FILE)\n"
    "  Records each item through the \"Record Item\" dialog into DIR/NAME.\n"
    "  --item-file holds one name per line (UTF-8; blank lines and surrounding\n"
    "  spaces are ignored). Exits 0 when the dialog ends with OK, 1 on Cancel.\n"
    "  The capture device is the default input, or the one named by\n"
    "  VOK_AUDIO_DEVICE.\n";

std::string trim(const std::string& s) {
    const char* ws = " \t\r\n\v\f";
    size_t a = s.find_first_not_of(ws);
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(ws);
    return s.substr(a, b - a + 1);
}

bool readItemFile(const std::string& path, std::vector<std::string>& items) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3); // UTF-8 mark
        first = false;
        std::string t = trim(line);
        if (!t.empty()) items.push_back(t);
    }
    return true;
}

// True when PortAudio finds at least one device that can capture.
bool haveCaptureDevice() {
    if (Pa_Initialize() != paNoError) return false;
    bool found = false;
    for (int i = 0, n = Pa_GetDeviceCount(); i < n && !found; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        found = info && info->maxInputChannels > 0;
    }
    Pa_Terminate();
    return found;
}
} // namespace

int RunRecord(int argc, char** argv) {
    std::string folder;
    std::vector<std::string> items;
    bool haveList = false;
    for (int i = 0; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--folder" && i + 1 < argc) {
            folder = argv[++i];
        } else if (a == "--items") {
            haveList = true;
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) items.push_back(argv[++i]);
        } else if (a == "--item-file" && i + 1 < argc) {
            haveList = true;
            if (!readItemFile(argv[++i], items)) {
                std::fprintf(stderr, "vokrec record: cannot read item file %s\n", argv[i]);
                return 2;
            }
        } else {
            std::fprintf(stderr, "vokrec record: unexpected argument '%s'\n%s", a.c_str(), kUsage);
            return 2;
        }
    }
    if (folder.empty() || !haveList) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "vokrec record: %s is not a directory\n", folder.c_str());
        return 2;
    }
    if (!haveCaptureDevice()) {
        std::fprintf(stderr,
                     "vokrec record: this machine has no sound capture device, so nothing can be\n"
                     "recorded from a microphone. To record from a WAV file instead, use the ALSA\n"
                     "test devices:\n"
                     "  ALSA_CONFIG_PATH=tests/data/alsa-test.conf VOK_AUDIO_DEVICE=<device> \\\n"
                     "    vokrec record --folder DIR --items NAME...\n"
                     "(tests/data/alsa-test.conf names the devices and the file they read).\n");
    }
    std::unique_ptr<QApplication> app;
    static int qargc = 1;
    static char name[] = "vokrec";
    static char* qargv[] = {name, nullptr};
    if (!QCoreApplication::instance()) app = std::make_unique<QApplication>(qargc, qargv);

    std::vector<const char*> names;
    for (const std::string& s : items) names.push_back(s.c_str());
    DlgRecord dlg(folder.c_str(), names.data(), int(names.size()));
    int r = dlg.DoModal();
    return r == IDOK ? 0 : 1;
}
