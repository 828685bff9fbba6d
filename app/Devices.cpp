// `vokrec devices` and the `--device` choice of `vokrec record`.
#include "Devices.h"
#include "platform/AudioSystem.h"
#include <cstdio>
#include <string>
#include <vector>

namespace {
const char* kHelp =
    "usage: vokrec devices\n"
    "Lists the capture and then the playback devices the audio layer offers, one\n"
    "name a line, as `vokrec record --device NAME` accepts them (the exact name or a\n"
    "part found in no other name; case does not matter). The system default of\n"
    "each direction is marked with '*'.\n"
    "Exit status: 0, or 2 on bad arguments.\n";

void List(const std::vector<AudioSystem::DEVICE_ENTRY>& all, bool capture) {
    std::printf("%s:\n", capture ? "capture" : "playback");
    for (const AudioSystem::DEVICE_ENTRY& e : all) {
        if (!(capture ? e.bCapture : e.bPlayback)) continue;
        const bool def = capture ? e.bDefaultCapture : e.bDefaultPlayback;
        std::printf("%c %s\n", def ? '*' : ' ', e.name.c_str());
    }
}
} // namespace

int RunDevices(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        std::fprintf(stderr, "vokrec devices: unexpected argument '%s'\n%s", a.c_str(), kHelp);
        return 2;
    }
    const std::vector<AudioSystem::DEVICE_ENTRY> all = AudioSystem::AllDevices();
    List(all, true);
    List(all, false);
    return 0;
}

bool SelectNamedDevice(const std::string& command, const std::string& wanted) {
    std::vector<std::string> candidates;
    const int n = AudioSystem::FindDevice(wanted, candidates);
    if (n == 1) {
        AudioSystem::SelectDevice(candidates.front());
        return true;
    }
    std::string list;
    for (const std::string& c : candidates)
        list += (list.empty() ? "" : ", ") + c;
    const bool none = n == 0;
    std::fprintf(stderr, "vokrec %s: %s device '%s'; %s: %s\n", command.c_str(),
                 none ? "no" : "more than one", wanted.c_str(), none ? "devices" : "it matches",
                 list.empty() ? "(none)" : list.c_str());
    return false;
}
