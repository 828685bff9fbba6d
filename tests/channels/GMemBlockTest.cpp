#include "channels/GMemBlock.h"
#include "ChannelTestUtil.h"
#include "MessageCapture.h"
#include "channels/SoftChanAD.h"
#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave8.h"
#include "channels/SoftChanXMS.h"
#include "record/SoftChannels.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(GMemBlock, NewBlockIsEmptyAndYieldsNoPointer) {
    GMEM_BLOCK b;
    EXPECT_EQ(b.GetState(), GMEM_EMPTY);
    EXPECT_EQ(b.GetHandle(), nullptr);
    EXPECT_EQ(b.GetSize(), 0u);
    EXPECT_EQ(b.GetPtr(), nullptr);
    b.Lock(); // nothing held: no state change
    EXPECT_EQ(b.GetState(), GMEM_EMPTY);
    b.Free();
    EXPECT_EQ(b.GetState(), GMEM_EMPTY);
}

TEST(GMemBlock, AllocIsZeroFilledUnlockedOrLocked) {
    GMEM_BLOCK b(64, 0);
    EXPECT_EQ(b.GetState(), GMEM_UNLOCKED);
    EXPECT_EQ(b.GetSize(), 64u);
    auto* p = static_cast<unsigned char*>(b.GetPtr()); // locks on first access
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(b.GetState(), GMEM_LOCKED);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(p[i], 0) << i;
    b.Unlock();
    EXPECT_EQ(b.GetState(), GMEM_UNLOCKED);

    GMEM_BLOCK locked(8, 1);
    EXPECT_EQ(locked.GetState(), GMEM_LOCKED);
}

TEST(GMemBlock, AllocOfTheHeldSizeKeepsTheContents) {
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
}

TEST(GMemBlock, SizeZeroAllocatesOneByte) {
    GMEM_BLOCK b;
    EXPECT_EQ(b.Alloc(0, 0), 1);
    EXPECT_EQ(b.GetSize(), 1u);
    EXPECT_EQ(GlobalSize(b.GetHandle()), 1u);
    EXPECT_NE(b.GetPtr(), nullptr);
}

TEST(GMemBlock, FreeFromAnyStateEndsEmpty) {
    GMEM_BLOCK locked(10, 1), unlocked(10, 0);
    locked.Free();
    unlocked.Free();
    for (GMEM_BLOCK* b : {&locked, &unlocked}) {
        EXPECT_EQ(b->GetState(), GMEM_EMPTY);
        EXPECT_EQ(b->GetHandle(), nullptr);
        EXPECT_EQ(b->GetSize(), 0u);
        EXPECT_EQ(b->GetPtr(), nullptr);
    }
}

TEST(GMemBlock, AttachTakesAForeignHandle) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40);
    ASSERT_NE(h, nullptr);
    static_cast<unsigned char*>(GlobalLock(h))[3] = 7;
    GlobalUnlock(h);
    GMEM_BLOCK b;
    b.Attach(h, 0);
    EXPECT_EQ(b.GetState(), GMEM_UNLOCKED);
    EXPECT_EQ(b.GetSize(), 40u);
    EXPECT_EQ(static_cast<unsigned char*>(b.GetPtr())[3], 7);

    HGLOBAL h2 = GlobalAlloc(GMEM_MOVEABLE, 5);
    GMEM_BLOCK c;
    c.Attach(h2, 1);
    EXPECT_EQ(c.GetState(), GMEM_LOCKED);
    EXPECT_EQ(c.GetSize(), 5u);
    // Both blocks free their handles on destruction (checked by the leak sanitizer run).
}

// Failures are provoked for real in a child process whose address space is
// capped, so the allocation itself returns null.
class AllocationFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!CanLimitAddressSpace()) GTEST_SKIP() << "address space cannot be capped here";
    }
    static constexpr size_t kHeadroom = 32u << 20;
    static constexpr unsigned kTooBig = 1u << 30;
};

TEST_F(AllocationFailure, BlockReportsGmemAndStaysEmptyWithTheSizeRecorded) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        MessageCapture cap;
        GMEM_BLOCK b(100, 0); // a small block first: it is freed by the failing Alloc
        int r = b.Alloc(kTooBig, 1);
        std::string texts;
        for (const std::string& t : cap.texts)
            texts += t + ";";
        return JoinFields({texts, std::to_string(r), std::to_string(b.GetState()),
                           std::to_string(b.GetSize()), b.GetPtr() ? "ptr" : "null",
                           b.GetHandle() ? "handle" : "nohandle"});
    });
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              JoinFields({"Memory Allocation Error: GMEM;", "0", std::to_string(GMEM_EMPTY),
                          std::to_string(kTooBig), "null", "nohandle"}));
}

TEST_F(AllocationFailure, AdChannelReportsBothMessagesAndIsStillBuilt) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        MessageCapture cap;
        ADCHANINFO info;
        info.strName = "Force";
        SOFTCHAN_AD ch(4, long(kTooBig / 4), 0.001f, &info); // 4 bytes per element
        std::string texts;
        for (const std::string& t : cap.texts)
            texts += t + ";";
        return JoinFields({texts, std::to_string(ch.nChan), std::to_string(ch.nNel), ch.GetName(),
                           std::to_string(ch.mem.GetState()), std::to_string(ch.GetRawVal(0))});
    });
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out,
        JoinFields({"Memory Allocation Error: GMEM;Error Allocating Memory for Channel;", "4",
                    std::to_string(kTooBig / 4), "Force", std::to_string(GMEM_EMPTY), "32767"}));
}

TEST_F(AllocationFailure, WaveChannelWithoutStorageReadsSilenceAndTakesBuffers) {
    LimitedRun run = RunWithAddressLimit(kHeadroom, [] {
        MessageCapture cap;
        SOFTCHAN_WAVE8 w(0, long(kTooBig / 2), 1.0f / 11025, nullptr); // P pairs of 4 bytes
        std::string texts;
        for (const std::string& t : cap.texts)
            texts += t + ";";
        unsigned char buf[2205] = {};
        int full = w.InsertValues(2205, buf);
        return JoinFields({texts, w.HasSamples() ? "samples" : "none", std::to_string(w.RtnNel()),
                           std::to_string(w.GetRawVal(0)), std::to_string(w.GetRawVal(w.RtnNel())),
                           std::to_string(full), std::to_string(w.GetLastSavedSample())});
    });
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              JoinFields({"Memory Allocation Error: GMEM;Error Allocating Memory for Channel;",
                          "none", std::to_string(long(kTooBig / 2)), "128", "32767", "0", "2202"}));
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
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              JoinFields({"Memory Allocation Error", "0", "noval", "Memory Allocation Error",
                          "40000001", "0", std::to_string(2.5f)}));
}
