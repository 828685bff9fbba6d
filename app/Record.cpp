#include "Record.h"
#include "platform/WaveIn.h"
#include "record/DlgRecord.h"
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {
const char* kUsage = "usage: vokrec record --folder DIR (--items NAME... | --item-file FILE)\n"
                     "  Records each item through the \"Record Item\" dialog into DIR/NAME.\n"
                     "  --item-file holds one name per line (UTF-8; blank lines and surrounding\n"
                     "  spaces are ignored). Exits 0 when the dialog ends with OK, 1 on Cancel,\n"
                     "  2 on bad arguments and 3 when there is no sound capture device.\n"
                     "  The capture device is the default input, or the one named by\n"
                     "  VOK_AUDIO_DEVICE.\n";

const char* kNoDevice =
    "vokrec record: no sound capture device was found, so nothing can be recorded.\n"
    "To record from a raw file instead (8-bit unsigned mono, 11025 samples per\n"
    "second), load the test devices from the source tree and name the file:\n"
    "\n"
    "  export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$PWD/tests/data/alsa-test.conf\n"
    "  export VOK_AUDIO_DEVICE=vok_file\n"
    "  export VOK_TEST_INFILE=$PWD/speech.raw    # what \"Record\" records\n"
    "  export VOK_TEST_OUTFILE=$PWD/played.raw   # what \"Play\" plays\n"
    "  vokrec record --folder DIR --items NAME...\n"
    "\n"
    "Make speech.raw from any sound file with:\n"
    "  sox speech.wav -t raw -r 11025 -e unsigned-integer -b 8 -c 1 speech.raw\n"
    "(docs/test-devices.md has the details.)\n";

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
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                items.push_back(argv[++i]);
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
    if (waveInGetNumDevs() == 0) {
        std::fputs(kNoDevice, stderr);
        return 3;
    }
    std::unique_ptr<QApplication> app;
    static int qargc = 1;
    static char name[] = "vokrec";
    static char* qargv[] = {name, nullptr};
    if (!QCoreApplication::instance()) app = std::make_unique<QApplication>(qargc, qargv);

    std::vector<const char*> names;
    for (const std::string& s : items)
        names.push_back(s.c_str());
    DlgRecord dlg(folder.c_str(), names.data(), int(names.size()));
    int r = dlg.DoModal();
    return r == IDOK ? 0 : 1;
}
