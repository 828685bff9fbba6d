// `vokrec analyse` on every format the dialog records in: 8- and 16-bit mono
// PCM at 8000 ... 48000 Hz are located as the same sound at 8-bit 11025 Hz,
// with the format in the JSON; any other format is refused by name.
#include "AnalyseTestSupport.h"

using namespace rectest;

using AnalyseFormats = AnalyseTest;

// The burst of 2.0 ... 2.5 s in 6 s is found within 10 ms of where it is found
// at 8-bit 11025 Hz at each format; start_sample and end_sample count samples
// of the file's rate; rate and bits name the format (and stay out of the
// default format's output).
TEST_F(AnalyseFormats, EachFormatIsLocatedLikeTheDefault) {
    VokrecRun base = Run({Write("base.wav", Wav(Speech(6.0, 2.0, 2.5)))});
    ASSERT_EQ(base.status, 0) << base.err;
    EXPECT_EQ(Field(base.out, "rate"), "");
    EXPECT_EQ(Field(base.out, "bits"), "");
    const double start = Number(base.out, "start"), end = Number(base.out, "end");
    EXPECT_NEAR(start, 1.9, 0.02);
    EXPECT_NEAR(end, 2.6, 0.02);

    for (const uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
        for (const int bits : {8, 16}) {
            if (rate == 11025 && bits == 8) continue;
            const std::string name = std::to_string(rate) + "-" + std::to_string(bits);
            SCOPED_TRACE(name);
            const auto data = SpeechAt(rate, bits, 6.0, 2.0, 2.5);
            VokrecRun r = Run({Write(name + ".wav", Wav(data, 1, rate, uint16_t(bits)))});
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(Number(r.out, "rate"), rate);
            EXPECT_EQ(Number(r.out, "bits"), bits);
            EXPECT_EQ(Number(r.out, "seconds"), 10);
            EXPECT_EQ(Field(r.out, "located"), "true");
            EXPECT_NEAR(Number(r.out, "start"), start, 0.01);
            EXPECT_NEAR(Number(r.out, "end"), end, 0.01);
            EXPECT_NEAR(Number(r.out, "start_sample"), Number(r.out, "start") * rate, 1.0);
            EXPECT_NEAR(Number(r.out, "end_sample"), Number(r.out, "end") * rate, 1.0);
            EXPECT_EQ(Number(r.out, "offset"), 0);
        }
    }
}

// The figures read against each sample size's full scale: the same burst has
// the same peak and RMS at 8 and 16 bits; clipped counts the 16-bit extremes;
// rate and bits close every object of a corpus run, the default's included.
TEST_F(AnalyseFormats, FiguresAgreeAcrossSampleSizes) {
    const std::string eight = Write("eight.wav", Wav(Speech(3.0, 1.0, 1.5)));
    std::vector<uint8_t> data = SpeechAt(48000, 16, 3.0, 1.0, 1.5);
    for (size_t at : {2000u, 2001u, 9000u}) // -32768, then 32767, then 32767
        data[2 * at] = at == 2000 ? 0x00 : 0xFF, data[2 * at + 1] = at == 2000 ? 0x80 : 0x7F;
    const std::string sixteen = Write("sixteen.wav", Wav(data, 1, 48000, 16));
    VokrecRun r = Run({"-j", "1", eight, sixteen});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_NE(lines[0].find(",\"rate\":11025,\"bits\":8}"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(",\"rate\":48000,\"bits\":16}"), std::string::npos) << lines[1];
    EXPECT_NEAR(Number(lines[0], "peak_dbfs"), 20 * std::log10(72.0 / 128), 0.01);
    EXPECT_EQ(Number(lines[1], "peak_dbfs"), 0);
    EXPECT_EQ(Number(lines[0], "clipped"), 0);
    EXPECT_EQ(Number(lines[1], "clipped"), 3);
    EXPECT_NEAR(Number(lines[1], "rms_dbfs"), Number(lines[0], "rms_dbfs"), 0.1);
    EXPECT_NEAR(Number(lines[1], "duration"), 3.0, 1e-9);
}

// Sizes and rates the dialog does not record in keep the one-line error.
TEST_F(AnalyseFormats, OtherFormatsAreNamed) {
    const std::vector<uint8_t> d(4000, 0);
    ExpectRejected(Write("24bit.wav", Wav(d, 1, 48000, 24)), "not 8- or 16-bit (24 bits");
    ExpectRejected(Write("12bit.wav", Wav(d, 1, 11025, 12)), "not 8- or 16-bit (12 bits");
    ExpectRejected(Write("16000.wav", Wav(d, 1, 16000, 16)), "(16000 Hz)");
    ExpectRejected(Write("96000.wav", Wav(d, 1, 96000, 8)), "(96000 Hz)");
    ExpectRejected(Write("stereo16.wav", Wav(d, 2, 48000, 16)), "not mono");
    ExpectRejected(Write("float.wav", Wav(d, 1, 48000, 32, 3)), "not PCM");
}
