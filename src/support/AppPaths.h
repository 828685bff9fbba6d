// Where the product's programs live, and the version texts for About boxes.
// Program locations come from a small key/value store standing in for the
// system registry: a text file ($VOK_REGISTRY, else
// $XDG_CONFIG_HOME/vokdll/registry or ~/.config/vokdll/registry) with lines
//   <key>|<value name>=<value>
// where an empty value name is the key's default value. Keys match without case.
#pragma once
#include "platform/Export.h"
#include <string>

class CDialog;

extern VOK_API const char* const
    kAppPathsKey; // "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"

VOK_API std::string RegistryFile();
// Reads one value; false when the store, the key or the value is missing.
VOK_API bool RegistryQuery(const std::string& key, const std::string& valueName, std::string& out);

// The folder of the main program (or of the companion), from its "Path" value,
// else the running program's folder; with a trailing '/' when asked.
VOK_API std::string GetAppPath(bool trailingSeparator = true, bool companion = false);
VOK_API std::string GetAppFile(const std::string& fileName);
VOK_API std::string GetSampleDataDir();
// The product's installation folder (a final "bin" dropped), ending in '/';
// "/" when the folder found does not exist.
VOK_API std::string GetMainAppDir(bool companion = false);

// The build's version number, or its copyright text (empty when none).
VOK_API std::string GetVersionString(bool fileVersion);
// Sets "<product> Version <version>" and the copyright text into the dialog's
// controls; a missing control is skipped.
VOK_API void SetVersionTexts(CDialog* dialog, const std::string& product, int versionId,
                             int copyrightId);
// "CreateProcess failed: <system text> <code>"; code -1 takes errno.
VOK_API int ShowProcessError(int code = -1);
