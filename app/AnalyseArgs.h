// Command line of `vokrec analyse`: files, folders and lists to analyse, and
// the options. One table holds the options, so adding one is adding a row.
#pragma once
#include "record/RecordOptions.h"

#include <string>
#include <vector>

// One place the file names come from, in command-line order.
struct ANALYSE_SOURCE {
    std::string text; // a file or folder; for a list, its path ("-" for standard input)
    bool bList = false;
};

struct ANALYSE_ARGS {
    std::vector<ANALYSE_SOURCE> sources;
    long seconds = 0; // record time; 0 for the shortest that holds each file
    int jobs = 0;     // files analysed at once; 0 for one per core
    int locator = LOCATOR_SPEC;
    bool bRecursive = false;
    bool bSummary = false;
    bool bHelp = false;
    // A corpus option was given: every line gets the quality figures, a failed
    // file gets an error line and the run goes on.
    bool bCorpus = false;
};

// Fills args from the words after "analyse". Returns an empty string, or what
// is wrong with the command line.
std::string ParseAnalyseArgs(int argc, char** argv, ANALYSE_ARGS& args);

// The text of `vokrec analyse --help`.
extern const char* const kAnalyseHelp;
