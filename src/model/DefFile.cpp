#include "model/DefFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

int OpenDefFile(CFileX& file, const std::string& path) {
    if (!FileHasAttr(path, 0)) return 0;
    return file.Open(path.c_str(), CFileX::modeRead);
}

std::string FirstToken(const std::string& line) {
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t b = 0;
    while (b < line.size() && blank(line[b]))
        ++b;
    std::size_t e = b;
    while (e < line.size() && !blank(line[e]))
        ++e;
    return line.substr(b, e - b);
}

int ReadFirstTokens(const std::string& path, CStringArray& tokens) {
    CFileX file;
    if (!OpenDefFile(file, path)) return 0;
    std::string line;
    while (file.ReadLine(line))
        tokens.push_back(FirstToken(line));
    file.Close();
    return 1;
}

int ScanInts(const std::string& line, int* values, int count) {
    // strtol stops at the first NUL, so a line holding one ends the scan there.
    const char* p = line.c_str();
    int n = 0;
    while (n < count) {
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(p, &end, 10);
        if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX) break;
        values[n++] = int(v);
        p = end;
    }
    return n;
}
