#include "support/AppPaths.h"

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "support/FileUtil.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <strings.h>
#include <unistd.h>

const char* const kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::string RegistryFile() {
    if (const char* p = std::getenv("VOK_REGISTRY"); p && *p) return p;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        return std::string(x) + "/vokdll/registry";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/vokdll/registry";
}

bool RegistryQuery(const std::string& key, const std::string& valueName, std::string& out) {
    std::ifstream f(RegistryFile());
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t bar = line.find('|');
        if (bar == std::string::npos) continue;
        std::size_t eq = line.find('=', bar);
        if (eq == std::string::npos) continue;
        if (strcasecmp(line.substr(0, bar).c_str(), key.c_str()) != 0) continue;
        if (strcasecmp(line.substr(bar + 1, eq - bar - 1).c_str(), valueName.c_str()) != 0)
            continue;
        out = line.substr(eq + 1);
        return true;
    }
    return false;
}

static std::string ProgramDir() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    return DirectoryOf(std::string(buf, std::size_t(n)));
}

std::string GetAppPath(bool trailingSeparator, bool companion) {
    std::string key = std::string(kAppPathsKey) + (companion ? "Mark4.Exe" : "CVokW.exe");
    std::string result;
    if (!RegistryQuery(key, "Path", result)) result.clear();
    if (result.empty()) result = ProgramDir();
    if (trailingSeparator && !result.empty() && result.back() != '/') result += '/';
    return result;
}

std::string GetAppFile(const std::string& fileName) {
    return GetAppPath(true, true) + fileName;
}

std::string GetSampleDataDir() {
    return GetAppPath(true, true) + "Sample Data";
}

std::string GetMainAppDir(bool companion) {
    std::string path;
    std::string dir;
    if (RegistryQuery(std::string(kAppPathsKey) + "cvokw.exe", "", path) && !path.empty())
        dir = DirectoryOf(path);
    else
        dir = GetAppPath(false, companion);
    if (dir.size() >= 4 && strcasecmp(dir.c_str() + dir.size() - 4, "/bin") == 0)
        dir.erase(dir.size() - 4);
    if (dir.empty() || !IsDirectory(dir)) return "/";
    if (dir.back() != '/') dir += '/';
    return dir;
}

std::string GetVersionString(bool fileVersion) {
#ifdef VOK_VERSION
    const char* version = VOK_VERSION;
#else
    const char* version = "";
#endif
#ifdef VOK_COPYRIGHT
    const char* copyright = VOK_COPYRIGHT;
#else
    const char* copyright = "";
#endif
    return fileVersion ? version : copyright;
}

void SetVersionTexts(CDialog* dialog, const std::string& product, int versionId, int copyrightId) {
    if (!dialog) return;
    if (CControl* c = dialog->GetDlgItem(versionId)) {
        std::string v;
        for (char ch : GetVersionString(true))
            if (ch != ' ') v += ch == ',' ? '.' : ch;
        c->SetWindowText(product + " Version " + v);
    }
    if (CControl* c = dialog->GetDlgItem(copyrightId)) c->SetWindowText(GetVersionString(false));
}

int ShowProcessError(int code) {
    if (code < 0) code = errno;
    std::string msg = std::string(std::strerror(code)).substr(0, 75);
    return AfxMessageBox("CreateProcess failed: " + msg + " " + std::to_string(code), MB_OK);
}
