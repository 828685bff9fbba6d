#include "Record.h"
#include "Choose.h"
#include "Devices.h"
#include "capture/CaptureTypes.h"
#include "platform/Application.h"
#include "platform/QtNotices.h"
#include "platform/WaveIn.h"
#include "record/DlgRecord.h"
#include "record/ItemList.h"
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
const char* kUsage = "usage: vokrec record --folder DIR (--items NAME... | --item-file FILE)\n"
                     "                     [--device NAME] [--rate HZ] [--bits 8|16]\n"
                     "                     [--locate spec|refined] [--progress] [--resume]\n"
                     "                     [--meter] [--keys] [--help-button] [--session]\n"
                     "                     [--keep-takes] [--choose]\n"
                     "  Records each item through the \"Record Item\" dialog into DIR/NAME.\n"
                     "  --item-file holds one name per line (UTF-8 text, names of at most 1024\n"
                     "  bytes; blank lines and surrounding spaces are ignored; a file with\n"
                     "  control characters, invalid UTF-8 or invisible formatting characters is\n"
                     "  refused, as are such --items names).\n"
                     "  Exits 0 when the dialog ends with OK, 1 on Cancel, 2 on bad arguments\n"
                     "  and 3 when there is no sound capture device or it cannot record in\n"
                     "  the format asked for.\n"
                     "  --locate chooses how the markers are placed after a recording: spec\n"
                     "  (the standard locator, the default) or refined (measures the noise\n"
                     "  floor, keeps weak word edges, ignores key clicks).\n"
                     "  The capture device is the default input, or the one named by\n"
                     "  VOK_AUDIO_DEVICE.\n"
                     "  --device NAME  records from and plays to the device NAME (its exact name\n"
                     "                 or a part found in no other name; `vokrec devices` lists\n"
                     "                 them); an unknown or ambiguous NAME exits 3.\n"
                     "  --rate HZ      samples per second: 8000, 11025 (default), 22050, 44100\n"
                     "                 or 48000\n"
                     "  --bits 8|16    bits per sample (default 8); recordings are mono\n"
                     "  --progress     ticks the items whose file is in DIR; \"n of m recorded\"\n"
                     "  --resume       starts at the first item without a file in DIR\n"
                     "  --meter        level meter while recording; \"Clipped\" / \"Very quiet\"\n"
                     "  --keys         Ctrl+R Record, Ctrl+T Stop, Ctrl+P Play, Ctrl+S Save,\n"
                     "                 Ctrl+N Next; graph focused: Left/Right start marker,\n"
                     "                 Shift+Left/Right end marker, 10 ms (with Ctrl 100 ms)\n"
                     "  --help-button  the \"Help\" button shows a short help text\n"
                     "  --session      all of --progress --resume --meter --keys --help-button\n"
                     "  --keep-takes   also keeps each saved item's whole take as DIR/takes/NAME\n"
                     "                 and adds a row per save to DIR/session.csv\n"
                     "  --choose       asks for the folder (unless --folder is given) and for an\n"
                     "                 item file (unless items are given) in dialogs; cancelling\n"
                     "                 either exits 1.\n";

const char* kNoDevice =
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

// Sets the option a session flag names; false for any other argument.
bool SessionFlag(const std::string& a, RECORD_OPTIONS& o) {
    struct Flag {
        const char* name;
        int RECORD_OPTIONS::*field;
    };
    static const Flag kFlags[] = {{"--progress", &RECORD_OPTIONS::bProgress},
                                  {"--resume", &RECORD_OPTIONS::bResume},
                                  {"--meter", &RECORD_OPTIONS::bLevelMeter},
                                  {"--keys", &RECORD_OPTIONS::bKeyboard},
                                  {"--help-button", &RECORD_OPTIONS::bHelp}};
    for (const Flag& f : kFlags)
        if (a == f.name || a == "--session") {
            o.*f.field = 1;
            if (a != "--session") return true;
        }
    return a == "--session";
}

// Sets the rate or sample size a --rate or --bits value names; the one-line
// reason when it is not one the dialog records in.
std::string SetFormat(const std::string& option, const char* value, RECORD_OPTIONS& o) {
    const bool rate = option == "--rate";
    const char* end = value + std::strlen(value);
    unsigned n = 0;
    const auto r = std::from_chars(value, end, n);
    tagWAVERATE rateChoice;
    tagSAMPLESIZE sizeChoice;
    const bool whole = r.ec == std::errc() && r.ptr == end;
    if (whole && (rate ? RateChoice(n, rateChoice) : SizeChoice(n, sizeChoice))) {
        (rate ? o.nRate : o.nBits) = int(n);
        return {};
    }
    return option + " must be " +
           (rate ? "8000, 11025, 22050, 44100 or 48000" : std::string("8 or 16")) + ", not '" +
           value + "'";
}

// Standard error sent to /dev/null for the object's life: the audio back end
// prints its own diagnostics of a refused format there, and the command says
// it in one line of its own.
class QuietStderr {
  public:
    QuietStderr() : m_saved(dup(2)) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) close(null);
    }
    ~QuietStderr() {
        if (m_saved < 0) return;
        dup2(m_saved, 2);
        close(m_saved);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int m_saved;
};

// Whether the capture device opens in the options' format: opened and closed
// again at once, so that a format it refuses is named before the dialog opens.
bool DeviceTakesFormat(const RECORD_OPTIONS& o) {
    tagWAVERATE rate;
    tagSAMPLESIZE size;
    if (!RateChoice(unsigned(o.nRate), rate) || !SizeChoice(unsigned(o.nBits), size)) return false;
    const WAVEFORMATEX fmt = MakeWaveFormat(rate, size);
    HWAVEIN h = nullptr;
    QuietStderr quiet;
    if (waveInOpen(&h, WAVE_MAPPER, &fmt, nullptr, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return false;
    waveInClose(h);
    return true;
}

} // namespace

int RunRecord(int argc, char** argv) {
    std::string folder;
    std::vector<std::string> items;
    bool haveList = false;
    RECORD_OPTIONS options;
    bool choose = false;
    for (int i = 0; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--folder" && i + 1 < argc) {
            folder = argv[++i];
        } else if (a == "--keep-takes") {
            options.bKeepTakes = 1;
        } else if (a == "--choose") {
            choose = true;
        } else if (a == "--device" && i + 1 < argc) {
            options.strDevice = argv[++i];
        } else if ((a == "--rate" || a == "--bits") && i + 1 < argc) {
            const std::string fault = SetFormat(a, argv[++i], options);
            if (!fault.empty()) {
                std::fprintf(stderr, "vokrec record: %s\n%s", fault.c_str(), kUsage);
                return 2;
            }
        } else if (SessionFlag(a, options)) {
        } else if (a == "--items") {
            haveList = true;
            for (size_t n = 1; i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0; ++n) {
                // The checks of item-file lines; the name itself is not echoed.
                const std::string_view name = ItemList::Trim(argv[++i]);
                std::string fault = name.empty() ? "is empty" : ItemList::NameFault(name);
                if (!fault.empty()) {
                    std::fprintf(stderr, "vokrec record: --items name %zu %s\n", n, fault.c_str());
                    return 2;
                }
                items.emplace_back(name);
            }
        } else if (a == "--item-file" && i + 1 < argc) {
            haveList = true;
            ItemList list;
            const char* path = argv[++i];
            if (!list.ReadFile(path)) {
                std::fprintf(stderr, "vokrec record: cannot read item file %s: %s\n", path,
                             list.Error().c_str());
                return 2;
            }
            items.insert(items.end(), list.Items().begin(), list.Items().end());
        } else if (a == "--locate" && i + 1 < argc) {
            options.iLocator = LocatorByName(argv[++i]);
            if (options.iLocator < 0) {
                std::fprintf(stderr, "vokrec record: --locate needs spec or refined, not '%s'\n",
                             argv[i]);
                return 2;
            }
        } else {
            std::fprintf(stderr, "vokrec record: unexpected argument '%s'\n%s", a.c_str(), kUsage);
            return 2;
        }
    }
    std::unique_ptr<CWinApp> app;
    if (choose && (folder.empty() || !haveList)) {
        QuietFrameworkNotices();
        app = std::make_unique<CWinApp>("vokrec");
        if (int r = ChooseFolderAndItems(folder, items, haveList)) return r;
    }
    if (folder.empty() || !haveList) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!std::filesystem::is_directory(folder)) {
        std::error_code ec;
        std::fprintf(stderr, "vokrec record: %s %s\n", folder.c_str(),
                     std::filesystem::exists(folder, ec) ? "is not a directory" : "does not exist");
        return 2;
    }
    if (!options.strDevice.empty() && !SelectNamedDevice("record", options.strDevice)) return 3;
    if (waveInGetNumDevs() == 0) {
        const char* named = std::getenv("VOK_AUDIO_DEVICE");
        if (named && *named && options.strDevice.empty())
            std::fprintf(stderr,
                         "vokrec record: the sound capture device '%s' named by VOK_AUDIO_DEVICE "
                         "was not found (`vokrec devices` lists them).\n",
                         named);
        else
            std::fputs("vokrec record: no sound capture device was found, so nothing can be "
                       "recorded.\n",
                       stderr);
        std::fputs(kNoDevice, stderr);
        return 3;
    }
    if (!DeviceTakesFormat(options)) {
        std::fprintf(stderr,
                     "vokrec record: the sound capture device cannot record %d-bit mono at %d Hz\n",
                     options.nBits, options.nRate);
        return 3;
    }
    if (!app) {
        QuietFrameworkNotices();
        app = std::make_unique<CWinApp>("vokrec");
    }

    std::vector<const char*> names;
    for (const std::string& s : items)
        names.push_back(s.c_str());
    DlgRecord dlg(folder.c_str(), names.data(), int(names.size()));
    dlg.SetOptions(options);
    int r = dlg.DoModal();
    return r == IDOK ? 0 : 1;
}
