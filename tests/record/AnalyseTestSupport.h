// Shared by the `vokrec analyse` tests: a fixture running the command in a
// folder of its own, WAV files built in memory and fields of its JSON output.
#pragma once
#include "RecordTestEnv.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <tuple>

namespace rectest {
class AnalyseTest : public ::testing::Test {
  protected:
    std::string dir = NewFolder(std::string("analyse-") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());

    VokrecRun Run(const std::vector<std::string>& args) {
        std::string words = "analyse";
        for (const std::string& a : args)
            words += " " + Quote(a);
        return RunVokrec(words);
    }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteBytes(dir + "/" + name, bytes);
        return dir + "/" + name;
    }
    // A bad file: status 2, nothing on stdout, one line on stderr naming the problem.
    void ExpectRejected(const std::string& path, const std::string& problem) {
        VokrecRun r = Run({path});
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_EQ(r.out, "") << path;
        ASSERT_FALSE(r.err.empty()) << path;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(problem), std::string::npos) << r.err;
    }
};

inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A canonical 44-byte-header WAV file around data.
inline std::vector<uint8_t> Wav(const std::vector<uint8_t>& data, uint16_t channels = 1,
                                uint32_t rate = 11025, uint16_t bits = 8, uint16_t tag = 1) {
    std::vector<uint8_t> b(44);
    std::memcpy(&b[0], "RIFF....WAVEfmt ", 16);
    Put32(b, 4, uint32_t(36 + data.size()));
    const uint16_t align = uint16_t(channels * bits / 8);
    for (auto [at, v, n] : {std::tuple{16, 16u, 4},
                            {20, unsigned(tag), 2},
                            {22, channels, 2},
                            {24, rate, 4},
                            {28, rate * align, 4},
                            {32, align, 2},
                            {34, bits, 2}})
        Put32(b, size_t(at), v, n);
    std::memcpy(&b[36], "data", 4);
    Put32(b, 40, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// seconds of silence at 128 with a loud square burst from t0 to t1.
inline std::vector<uint8_t> Speech(double seconds, double t0, double t1) {
    std::vector<uint8_t> d(size_t(seconds * 11025), 128);
    for (size_t i = size_t(t0 * 11025); i < size_t(t1 * 11025) && i < d.size(); ++i)
        d[i] = (i / 20) % 2 ? 200 : 56;
    return d;
}

// Speech() at another format: silence at the midpoint and the same square
// burst (0.5625 of full scale, 20 samples of 11025 Hz a half-period) from t0 to t1.
inline std::vector<uint8_t> SpeechAt(uint32_t rate, int bits, double seconds, double t0,
                                     double t1) {
    std::vector<uint8_t> d;
    for (size_t i = 0; i < size_t(seconds * rate); ++i) {
        const bool burst = i >= size_t(t0 * rate) && i < size_t(t1 * rate);
        const int sign = (size_t(double(i) * 11025 / rate) / 20) % 2 ? 1 : -1;
        if (bits == 8) {
            d.push_back(uint8_t(burst ? 128 + sign * 72 : 128));
        } else {
            const auto s = uint16_t(int16_t(burst ? sign * 18432 : 0));
            d.push_back(uint8_t(s));
            d.push_back(uint8_t(s >> 8));
        }
    }
    return d;
}
// The lines of an output, without their '\n'.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

// The value of a field of the one-line JSON object, as text.
inline std::string Field(const std::string& json, const std::string& name) {
    std::smatch m;
    const std::regex re("\"" + name + "\":(\"[^\"]*\"|[^,}]+)");
    return std::regex_search(json, m, re) ? m[1].str() : std::string();
}
inline double Number(const std::string& json, const std::string& name) {
    const std::string f = Field(json, name);
    EXPECT_FALSE(f.empty()) << name << " missing in " << json;
    return f.empty() ? NAN : std::stod(f);
}

} // namespace rectest
