#include "AnalyseInputs.h"

#include "AnalyseJson.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {
bool IsWavName(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return ext == ".wav";
}

// Adds the .wav files of folder in name order; with recursive, the files of its
// sub-folders where they fall in that order. Symbolic links to folders are not
// followed (no loops); links to files are listed like files.
void AddFolder(const std::string& folder, bool recursive, std::vector<ANALYSE_INPUT>& inputs) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        inputs.push_back({folder, std::string("cannot read folder: ") + std::strerror(errno)});
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = readdir(dir.get())) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const std::string& n : names) {
        const std::string path = prefix + n;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (recursive) AddFolder(path, recursive, inputs);
        } else if (IsWavName(n) && !S_ISFIFO(st.st_mode)) {
            inputs.push_back({path, {}});
        }
    }
}

// Adds the non-empty lines of list, each read as a FILE or FOLDER argument.
void AddLines(std::FILE* list, const ANALYSE_ARGS& args, std::vector<ANALYSE_INPUT>& inputs) {
    char* line = nullptr;
    size_t cap = 0;
    ssize_t n;
    while ((n = getline(&line, &cap, list)) >= 0) {
        std::string path(line, size_t(n));
        if (!path.empty() && path.back() == '\n') path.pop_back();
        if (path.empty()) continue;
        if (IsFolder(path))
            AddFolder(path, args.bRecursive, inputs);
        else
            inputs.push_back({path, {}});
    }
    std::free(line);
}
} // namespace

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExpandAnalyseInputs(const ANALYSE_ARGS& args, std::vector<ANALYSE_INPUT>& inputs,
                                std::FILE* stdinList) {
    inputs.clear();
    for (const ANALYSE_SOURCE& s : args.sources) {
        if (!s.bList) {
            if (IsFolder(s.text))
                AddFolder(s.text, args.bRecursive, inputs);
            else
                inputs.push_back({s.text, {}});
            continue;
        }
        if (s.text == "-") {
            AddLines(stdinList, args, inputs);
            if (std::ferror(stdinList)) return "cannot read the list on standard input";
            continue;
        }
        struct stat st;
        if (stat(s.text.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))
            return "--from " + MessageQuoted(s.text) + ": not a regular file";
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(s.text.c_str(), "r"),
                                                          std::fclose);
        if (!f) return "--from " + MessageQuoted(s.text) + ": cannot open: " + std::strerror(errno);
        AddLines(f.get(), args, inputs);
        if (std::ferror(f.get()))
            return "--from " + MessageQuoted(s.text) + ": cannot read: " + std::strerror(errno);
    }
    return {};
}
