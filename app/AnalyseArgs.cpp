#include "AnalyseArgs.h"

#include <charconv>
#include <cstring>

const char* const kAnalyseHelp =
    "usage: vokrec analyse [OPTION]... FILE.wav|FOLDER...\n"
    "       vokrec analyse [OPTION]... --from LIST\n"
    "Loads each mono PCM WAV file of 8 or 16 bits at 8000, 11025, 22050, 44100\n"
    "or 48000 Hz into a recording of N seconds at its format (default: the\n"
    "shortest record time of the \"Record Item\" dialog that holds the file; a\n"
    "longer file is cut where that recording would have stopped), removes its\n"
    "DC level, derives the \"Volume\" curve, locates the speech and\n"
    "prints one JSON object per file, one per line, in the order given:\n"
    "  file          the path as given\n"
    "  seconds       the record time used\n"
    "  offset        DC level removed, in counts of the file's sample size\n"
    "  points        points of the \"Volume\" curve (one per 0.01 s)\n"
    "  start, end    marker times in seconds\n"
    "  located       true when speech was found (else the default markers)\n"
    "  start_sample, end_sample   first and last sample a save would write\n"
    "  rate, bits    the file's samples per second and bits per sample (only\n"
    "                when not 11025 Hz 8-bit, unless with the figures below)\n"
    "With more than one file, a folder or any option below but --seconds and\n"
    "--locate, each object also holds:\n"
    "  duration      seconds of sound in the file\n"
    "  peak_dbfs     largest sample of the file against full scale, in dB\n"
    "                (null when every sample is at the midpoint)\n"
    "  rms_dbfs      RMS of the samples from start_sample to end_sample, DC level\n"
    "                removed, against full scale, in dB (null when not located)\n"
    "  clipped       samples at either end of the sample range\n"
    "  rate, bits    as above, in every object\n"
    "and a file that fails gives {\"file\":...,\"error\":\"...\"} and the run goes on.\n"
    "A name that is not valid UTF-8 is written with each byte of 0x80 and above\n"
    "as \\u00XX (the name read as Latin-1) and the object gets \"file_latin1\":true.\n"
    "Options:\n"
    "  --seconds N        record time of 1 to 3600 seconds for every file\n"
    "  --locate L         speech locator: spec (the dialog's standard one, the\n"
    "                     default) or refined (measures the noise floor, keeps\n"
    "                     weak word edges, ignores key clicks and the unrecorded\n"
    "                     rest of the channel)\n"
    "  --from LIST        analyse the paths in LIST, one a line (- reads standard\n"
    "                     input; empty lines are skipped)\n"
    "  -r, --recursive    a FOLDER gives the .wav files of its whole tree (else\n"
    "                     only those directly in it), in name order\n"
    "  -j, --jobs N       files analysed at once (default: one per core)\n"
    "  --summary          a table of counts and located durations on standard\n"
    "                     error at the end (very quiet: peak below -20 dBFS)\n"
    "  --                 what follows are names, even if they begin with -\n"
    "On a terminal, standard error shows a progress line while files are analysed.\n"
    "Errors go to standard error as: vokrec analyse: \"PATH\": problem\n"
    "Exit status: 0 when every file was analysed; 1 when a file failed (its line\n"
    "holds the error); 2 on bad arguments or a list that cannot be read, and,\n"
    "for a single FILE without the options above, on a bad file (no line then).\n";

namespace {
constexpr long kMaxSeconds = 3600;
constexpr int kMaxJobs = 256;

bool ParseWhole(const char* text, long lo, long hi, long& value) {
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end && value >= lo && value <= hi;
}

std::string SetSeconds(ANALYSE_ARGS& a, const char* v) {
    if (ParseWhole(v, 1, kMaxSeconds, a.seconds)) return {};
    return "--seconds needs a whole number of seconds from 1 to " + std::to_string(kMaxSeconds) +
           ", not '" + v + "'";
}

std::string SetLocator(ANALYSE_ARGS& a, const char* v) {
    a.locator = LocatorByName(v);
    if (a.locator >= 0) return {};
    return std::string("--locate needs spec or refined, not '") + v + "'";
}

std::string SetJobs(ANALYSE_ARGS& a, const char* v) {
    long n = 0;
    if (!ParseWhole(v, 1, kMaxJobs, n))
        return "--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs) + ", not '" + v +
               "'";
    a.jobs = int(n);
    return {};
}

struct ANALYSE_OPTION {
    const char* name;
    bool bValue;  // takes a value: "--name VALUE" or "--name=VALUE"
    bool bCorpus; // switches on the corpus output
    std::string (*set)(ANALYSE_ARGS&, const char* value);
};

const ANALYSE_OPTION kOptions[] = {
    {"--seconds", true, false, SetSeconds},
    {"--locate", true, false, SetLocator},
    {"--from", true, true,
     [](ANALYSE_ARGS& a, const char* v) {
         a.sources.push_back({v, true});
         return std::string();
     }},
    {"--jobs", true, true, SetJobs},
    {"-j", true, true, SetJobs},
    {"--recursive", false, true,
     [](ANALYSE_ARGS& a, const char*) {
         a.bRecursive = true;
         return std::string();
     }},
    {"-r", false, true,
     [](ANALYSE_ARGS& a, const char*) {
         a.bRecursive = true;
         return std::string();
     }},
    {"--summary", false, true,
     [](ANALYSE_ARGS& a, const char*) {
         a.bSummary = true;
         return std::string();
     }},
};

// The option word a names ("--name" or "--name=..."), or null.
const ANALYSE_OPTION* FindOption(const std::string& a, bool& inlineValue) {
    for (const ANALYSE_OPTION& o : kOptions) {
        const size_t n = std::strlen(o.name);
        inlineValue = o.bValue && a.size() > n && a.compare(0, n, o.name) == 0 && a[n] == '=';
        if (a == o.name || inlineValue) return &o;
    }
    return nullptr;
}
} // namespace

std::string ParseAnalyseArgs(int argc, char** argv, ANALYSE_ARGS& args) {
    args = ANALYSE_ARGS();
    bool names = false; // after "--"
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (names || a == "-" || a.empty() || a[0] != '-') {
            args.sources.push_back({a, false});
            continue;
        }
        if (a == "--") {
            names = true;
        } else if (a == "--help" || a == "-h") {
            args.bHelp = true;
            return {};
        } else {
            bool inlineValue = false;
            const ANALYSE_OPTION* o = FindOption(a, inlineValue);
            if (!o) return "unknown option '" + a + "'";
            const char* v = nullptr;
            if (inlineValue) {
                v = argv[i] + std::strlen(o->name) + 1;
            } else if (o->bValue) {
                if (i + 1 >= argc) return std::string(o->name) + " needs a value";
                v = argv[++i];
            }
            const std::string problem = o->set(args, v);
            if (!problem.empty()) return problem;
            args.bCorpus = args.bCorpus || o->bCorpus;
        }
    }
    if (args.sources.empty()) return "no FILE.wav given (see --help)";
    args.bCorpus = args.bCorpus || args.sources.size() > 1 || args.sources[0].bList;
    return {};
}
