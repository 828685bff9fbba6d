// vokrec: host program of the recording library.
//   vokrec record  --folder DIR (--items NAME... | --item-file FILE) [OPTION]...
//   vokrec analyse [OPTION]... FILE.wav|FOLDER...
//   vokrec devices
#include "Analyse.h"
#include "Devices.h"
#include "Record.h"
#include "support/AppPaths.h"
#include <cstdio>
#include <cstring>

namespace {
const char* kUsage = "usage: vokrec record --folder DIR (--items NAME... | --item-file FILE)\n"
                     "                     [--device NAME] [--locate spec|refined]\n"
                     "       vokrec analyse [OPTION]... FILE.wav|FOLDER...\n"
                     "       vokrec devices\n"
                     "       vokrec --version\n"
                     "Run a command with --help for details.\n";
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "record") == 0) return RunRecord(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "devices") == 0) return RunDevices(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "analyse") == 0 || std::strcmp(argv[1], "analyze") == 0)
        return RunAnalyse(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("vokrec %s\n%s\n", GetVersionString(true).c_str(),
                    GetVersionString(false).c_str());
        return 0;
    }
    std::fprintf(stderr, "vokrec: unknown command '%s'\n%s", argv[1], kUsage);
    return 2;
}
