// Helpers for the plain-text definition files of the body model.
#pragma once
#include "support/FileUtil.h"
#include "support/FileX.h"

#include <string>

// Opens a definition file for reading. A missing file gives 0 without a
// message; a file that exists but cannot be opened is reported by CFileX.
int OpenDefFile(CFileX& file, const std::string& path);
// The first blank-delimited token of every line of path, in order (empty for a
// line without one). 0 when the file is missing.
int ReadFirstTokens(const std::string& path, CStringArray& tokens);
// The first blank-delimited token of line, or empty.
std::string FirstToken(const std::string& line);
// Reads up to count blank-separated decimal integers from the start of line, as
// a "%d %d ..." scan does, and returns how many were read. A number outside the
// 32-bit range ends the scan.
int ScanInts(const std::string& line, int* values, int count);
