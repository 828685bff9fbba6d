// Feeds arbitrary definition files to the body-model readers: the input is split
// at 0x1E bytes into "SNAMES", "CONFILE", "jnames" and a list of joint numbers
// (one signed byte each); a part that is absent leaves its file missing. The
// files go to a private folder that stands in for the companion program's
// folder. The readers must return without crashes, undefined behaviour, leaks
// or messages, lines must cover a file exactly, and every segment found must
// be consistent with the tables.
#include "model/BodyModel.h"
#include "model/SegDefs.h"
#include "platform/MessageBox.h"
#include "support/AppPaths.h"
#include "support/FileX.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// The folder lives in a static buffer, so the exit handler that removes it
// never sees a destroyed string.
char g_folder[64];

void RemoveFolder() {
    for (const char* name : {"SNAMES", "CONFILE", "jnames", "registry"})
        unlink((std::string(g_folder) + "/" + name).c_str());
    rmdir(g_folder);
}

const std::string& Folder() {
    // Memory-backed when possible: the readers take a byte per system call.
    static const std::string dir = [] {
        for (const char* base : {"/dev/shm", "/tmp"}) {
            std::snprintf(g_folder, sizeof g_folder, "%s/segdefs_fuzz_XXXXXX", base);
            if (mkdtemp(g_folder)) {
                std::atexit(RemoveFolder);
                return std::string(g_folder);
            }
        }
        abort();
    }();
    return dir;
}

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void Place(const char* name, const std::vector<std::string>& parts, std::size_t index) {
    const std::string path = Folder() + "/" + name;
    if (index >= parts.size()) {
        unlink(path.c_str());
        return;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << parts[index];
}

// The lines ReadLine returns, joined, are the file; each ends at its first CR
// (lone or followed by LF) or at the end of the file.
void CheckLines(const std::string& name, const std::string& bytes) {
    CFileX file;
    if (!file.Open((Folder() + "/" + name).c_str(), CFileX::modeRead)) return;
    std::string all, line;
    while (file.ReadLine(line)) {
        const std::size_t cr = line.find('\r');
        Check(cr == std::string::npos || cr == line.size() - 1 ||
              (cr == line.size() - 2 && line.back() == '\n'));
        all += line;
    }
    Check(all == bytes);
}
} // namespace

// The readers find their files in the companion program's folder, which the
// key/value file behind App Paths points at the private folder; they never
// show a message.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string registry = Folder() + "/registry";
    std::ofstream(registry) << kAppPathsKey << "Mark4.Exe|Path=" << Folder() << "\n";
    setenv("VOK_REGISTRY", registry.c_str(), 1);
    SetMessageBoxSink([](const std::string&, unsigned) -> int { __builtin_trap(); });
    Check(GetAppFile("SNAMES") == Folder() + "/SNAMES");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t n = 0; n < size; ++n) {
        if (data[n] == 0x1E)
            parts.emplace_back();
        else
            parts.back() += char(data[n]);
    }
    Place("SNAMES", parts, 0);
    Place("CONFILE", parts, 1);
    Place("jnames", parts, 2);
    if (parts.size() > 1) CheckLines("CONFILE", parts[1]);

    const std::string numbers = parts.size() > 3 ? parts[3].substr(0, 64) : std::string("\x05\x07");
    INT_ARRAY joints(int(numbers.size()));
    for (std::size_t j = 0; j < numbers.size(); ++j)
        joints[int(j)] = int8_t(numbers[j]);
    // A joint count that may run past the list.
    const int count = joints.GetSize() + (numbers.empty() ? 0 : numbers[0] & 3);

    SEG_DEFS defs(joints, count);
    const int loaded = defs.LoadDefs();
    Check(loaded == 0 || loaded == 1);
    for (int i = -1; i <= count; ++i)
        for (int kind = 0; kind <= 6; ++kind) {
            tagSEGMENT seg;
            const int v = defs.FindSegment(i, kind, seg);
            if (v == 0) continue;
            const int index = std::abs(v) - 1;
            Check(i >= 0 && i < joints.GetSize());
            Check(index < int(defs.GetNames().size()));
            Check(seg.m_strName == defs.GetNames()[std::size_t(index)]);
            Check(seg.m_nFirstJoint == i + 1 && seg.m_nSecondJoint != i + 1);
            Check(seg.m_fValue == defs.GetParams(index / 2).fValue);
        }

    BODY_MODEL model;
    model.SetJointNumbers(joints);
    model.LoadJointNames();
    Check(model.GetJointName(-1) == "FixedPt");
    Check(model.GetJointName(model.GetJointCount()) == "C.G.");
    for (int j = 0; j < model.GetJointCount(); ++j)
        model.GetJointName(j);
    return 0;
}
