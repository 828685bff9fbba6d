#include "channels/GMemBlock.h"
#include "ChannelTestUtil.h"
#include "MessageCapture.h"
#include "channels/SoftChanAD.h"
#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave8.h"
#include "channels/SoftChanXMS.h"
#include "record/SoftChannels.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {
// State, size and whether a handle is held, as one value.
std::tuple<int, unsigned, bool> Held(const GMEM_BLOCK& b) {
    return {b.GetState(), b.GetSize(), b.GetHandle() != nullptr};
}
const std::tuple<int, unsigned, bool> kEmpty{GMEM_EMPTY, 0u, false};

// Message texts, each followed by ';'.
std::string Texts(const MessageCapture& cap) {
    std::string s;
    for (const std::string& t : cap.texts)
        s += t + ";";
    return s;
}
} // namespace

TEST(GMemBlock, StatesFromEmptyThroughLockedBackToEmpty) {
    GMEM_BLOCK none;
    EXPECT_EQ(Held(none), kEmpty);
    EXPECT_EQ(none.GetPtr(), nullptr);
    none.Lock(); // nothing held: no state change
    none.Free();
    EXPECT_EQ(Held(none), kEmpty);

    GMEM_BLOCK b(64, 0);
    EXPECT_EQ(Held(b), std::tuple(GMEM_UNLOCKED, 64u, true));
    auto* p = static_cast<unsigned char*>(b.GetPtr()); // locks on first access
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(b.GetState(), GMEM_LOCKED);
    EXPECT_EQ(std::count(p, p + 64, 0), 64); // zero-filled
    b.Unlock();
    EXPECT_EQ(b.GetState(), GMEM_UNLOCKED);
    b.Free();
    EXPECT_EQ(Held(b), kEmpty);
    EXPECT_EQ(b.GetPtr(), nullptr);
    GMEM_BLOCK locked(8, 1);
    EXPECT_EQ(locked.GetState(), GMEM_LOCKED);
    locked.Free();
    EXPECT_EQ(Held(locked), kEmpty);
    EXPECT_EQ(locked.GetPtr(), nullptr);
}

TEST(GMemBlock, AllocKeepsTheHeldSizeAndGivesAtLeastOneByte) {
    GMEM_BLOCK b(16, 1);
    auto* p = static_cast<unsigned char*>(b.GetPtr());
    std::memset(p, 0xAB, 16);
    HGLOBAL h = b.GetHandle();
    EXPECT_EQ(b.Alloc(16, 0), 1);
    EXPECT_EQ(b.GetHandle(), h);
    EXPECT_EQ(static_cast<unsigned char*>(b.GetPtr())[15], 0xAB);
    // Another size is a fresh, zero-filled allocation.
    EXPECT_EQ(b.Alloc(32, 0), 1);
    EXPECT_EQ(b.GetSize(), 32u);
    EXPECT_EQ(static_cast<unsigned char*>(b.GetPtr())[15], 0);

    GMEM_BLOCK one;
    EXPECT_EQ(one.Alloc(0, 0), 1);
    EXPECT_EQ(one.GetSize(), 1u);
    EXPECT_EQ(GlobalSize(one.GetHandle()), 1u);
    EXPECT_NE(one.GetPtr(), nullptr);
}

TEST(GMemBlock, AttachTakesAForeignHandle) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40);
    ASSERT_NE(h, nullptr);
    static_cast<unsigned char*>(GlobalLock(h))[3] = 7;
    GlobalUnlock(h);
    GMEM_BLOCK b, c;
    b.Attach(h, 0);
    EXPECT_EQ(Held(b), std::tuple(GMEM_UNLOCKED, 40u, true));
    EXPECT_EQ(static_cast<unsigned char*>(b.GetPtr())[3], 7);
    c.Attach(GlobalAlloc(GMEM_MOVEABLE, 5), 1);
    EXPECT_EQ(Held(c), std::tuple(GMEM_LOCKED, 5u, true));
    // Its own handle again changes nothing (and frees nothing).
    const auto held = Held(b);
    b.Attach(b.GetHandle(), 0);
    EXPECT_EQ(b.GetHandle(), h);
    EXPECT_EQ(Held(b), held);
    EXPECT_EQ(static_cast<unsigned char*>(b.GetPtr())[3], 7);
    // Both blocks free their handles on destruction (checked by the leak sanitizer run).
}

// Failures are provoked for real in a child process whose address space is
// capped, so the allocation itself returns null.
class AllocationFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!CanLimitAddressSpace()) GTEST_SKIP() << "address space cannot be capped here";
    }
    static void ExpectRun(const LimitedRun& run, const std::string& out) {
        ASSERT_TRUE(run.exited);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.out, out);
    }
    static constexpr size_t kHeadroom = 32u << 20;
    static constexpr unsigned kTooBig = 1u << 30;
};

TEST_F(AllocationFailure, BlockReportsGmemAndStaysEmptyWithTheSizeRecorded) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        MessageCapture cap;
        GMEM_BLOCK b(100, 0); // a small block first: it is freed by the failing Alloc
        int r = b.Alloc(kTooBig, 1);
        return JoinFields({Texts(cap), std::to_string(r), std::to_string(b.GetState()),
                           std::to_string(b.GetSize()), b.GetPtr() ? "ptr" : "null",
                           b.GetHandle() ? "handle" : "nohandle"});
    });
    ExpectRun(run, JoinFields({"Memory Allocation Error: GMEM;", "0", std::to_string(GMEM_EMPTY),
                               std::to_string(kTooBig), "null", "nohandle"}));
}

TEST_F(AllocationFailure, AdChannelReportsBothMessagesAndIsStillBuilt) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        MessageCapture cap;
        ADCHANINFO info;
        info.strName = "Force";
        SOFTCHAN_AD ch(4, long(kTooBig / 4), 0.001f, &info); // 4 bytes per element
        return JoinFields({Texts(cap), std::to_string(ch.nChan), std::to_string(ch.nNel),
                           ch.GetName(), std::to_string(ch.mem.GetState()),
                           std::to_string(ch.GetRawVal(0))});
    });
    ExpectRun(run, JoinFields({"Memory Allocation Error: GMEM;Error Allocating Memory for Channel;",
                               "4", std::to_string(kTooBig / 4), "Force",
                               std::to_string(GMEM_EMPTY), "32767"}));
}

TEST_F(AllocationFailure, WaveChannelWithoutStorageReadsSilenceAndTakesBuffers) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        MessageCapture cap;
        SOFTCHAN_WAVE8 w(0, long(kTooBig / 2), 1.0f / 11025, nullptr); // P pairs of 4 bytes
        unsigned char buf[2205] = {};
        int full = w.InsertValues(2205, buf);
        return JoinFields({Texts(cap), w.HasSamples() ? "samples" : "none",
                           std::to_string(w.RtnNel()), std::to_string(w.GetRawVal(0)),
                           std::to_string(w.GetRawVal(w.RtnNel())), std::to_string(full),
                           std::to_string(w.GetLastSavedSample())});
    });
    ExpectRun(run,
              JoinFields({"Memory Allocation Error: GMEM;Error Allocating Memory for Channel;",
                          "none", std::to_string(long(kTooBig / 2)), "128", "32767", "0", "2204"}));
}

TEST_F(AllocationFailure, CurveAndLevelRingReportTheArrayMessage) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        std::string out;
        {
            MessageCapture cap;
            SOFTCHANNELS list;
            // 20M points (80 MB) cannot be had either.
            auto* c = new SOFTCHAN_XMS(0, 20000000, 0.01f, "Volume", "", "Sec", "Time");
            list.AddChan(c);
            out += JoinFields({cap.last(), std::to_string(c->arr.GetSize()),
                               c->IsNoVal(c->GetVal(0)) ? "noval" : "value"});
        }
        {
            // A window of the whole source: the ring of 40M floats cannot be had,
            // and the level is computed straight from the source instead.
            MessageCapture cap;
            SOFTCHANNELS list;
            list.AddChan(new FuncChan(0, 40000001, 0.001f, [](long) { return -2.5f; }));
            auto* le = new SOFTCHAN_LE(1, 0, 1e9f, 1.0f, 1.0f);
            list.AddChan(le);
            out += "|" +
                   JoinFields({cap.last(), std::to_string(le->nWin),
                               std::to_string(le->ring.GetSize()), std::to_string(le->GetVal(5))});
        }
        return out;
    });
    ExpectRun(run, JoinFields({"Memory Allocation Error", "0", "noval", "Memory Allocation Error",
                               "40000001", "0", std::to_string(2.5f)}));
}

TEST(GMemBlock, ChannelWhoseByteSizeWouldOverflowGetsNoStorage) {
    const long elements = 1L << 30; // 4 bytes each: 2^32 bytes, one more than a block counts
    MessageCapture cap;
    SOFTCHAN_AD ad(0, elements, 0.001f, nullptr);
    EXPECT_EQ(Texts(cap), "Memory Allocation Error: GMEM;Error Allocating Memory for Channel;");
    EXPECT_EQ(Held(ad.mem), kEmpty);
    EXPECT_EQ(ad.GetRawVal(1000), 32767);

    cap.texts.clear();
    SOFTCHAN_WAVE8 w(0, 2 * elements, 1.0f / 11025, nullptr);
    EXPECT_EQ(Texts(cap), "Memory Allocation Error: GMEM;Error Allocating Memory for Channel;");
    EXPECT_FALSE(w.HasSamples());
    EXPECT_EQ(w.GetRawVal(1000), 128);
    unsigned char buf[64] = {};
    w.InsertValues(64, buf); // nowhere to write: counted, not stored
    EXPECT_EQ(w.GetRawVal(10), 128);
}
