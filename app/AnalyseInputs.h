// The files `vokrec analyse` works through: the FILE arguments as given, the
// .wav files of FOLDER arguments and the lines of --from lists, in order.
#pragma once
#include "AnalyseArgs.h"

#include <cstdio>
#include <string>
#include <vector>

struct ANALYSE_INPUT {
    std::string path;
    std::string error; // set when the input is known to fail before it is read
};

// Expands args.sources into inputs. Returns an empty string, or why a list could
// not be read (nothing is analysed then). stdinList is where "--from -" reads.
std::string ExpandAnalyseInputs(const ANALYSE_ARGS& args, std::vector<ANALYSE_INPUT>& inputs,
                                std::FILE* stdinList = stdin);

// True when path names a folder (following a symbolic link).
bool IsFolder(const std::string& path);
