// Test helpers: a private companion-program folder, found through the App Paths
// stand-in, into which tests write definition files; segment fields as one value.
#pragma once
#include "model/Segment.h"
#include "support/AppPaths.h"
#include "support/TypedArray.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

struct CompanionFolder : ::testing::Test {
    std::string dir;
    std::string registry;

    void SetUp() override {
        std::string tmpl = ::testing::TempDir() + "vok_model_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        registry = tmpl + "/registry";
        dir = tmpl + "/companion";
        std::filesystem::create_directory(dir);
        std::ofstream(registry) << kAppPathsKey << "Mark4.Exe|Path=" << dir << "\n";
        setenv("VOK_REGISTRY", registry.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VOK_REGISTRY");
        std::filesystem::remove_all(std::filesystem::path(dir).parent_path());
    }
    // Writes name into the companion folder byte for byte.
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    }
    // Lines joined with CR LF after every line.
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string s;
        for (const auto& l : lines)
            s += l + "\r\n";
        return s;
    }
};

// Name, first and second joint of a segment.
inline std::tuple<std::string, int, int> Joints(const tagSEGMENT& s) {
    return {s.m_strName, s.m_nFirstJoint, s.m_nSecondJoint};
}
// Value, position ratio, radius ratio, reversed flag and kind.
inline std::tuple<float, float, float, int, int> Params(const tagSEGMENT& s) {
    return {s.m_fValue, s.m_fPosRatio, s.m_fRadiusRatio, s.m_iReversed, s.m_iKind};
}

inline INT_ARRAY Ints(std::initializer_list<int> list) {
    INT_ARRAY a(int32_t(list.size()));
    int i = 0;
    for (int n : list)
        a[i++] = n;
    return a;
}
