// Playback into a sink that takes samples no faster than a sound card: the
// playback device writes into a FIFO that a thread drains at 11025 bytes per
// second, so a playback lasts as long as its samples do.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "graph/GraphWnd.h"
#include <QElapsedTimer>
#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace rectest;

namespace {
const char* kNames[] = {"q01.wav"};
constexpr long kRate = 11025;

// A FIFO at path, read at kRate bytes per second from when it is made. The
// reader holds the FIFO open for writing too, so the device's opens never
// block and its closes are no end of input. A small pipe keeps what the
// device can write ahead of the reader short.
class PacedSink {
  public:
    explicit PacedSink(const std::string& path) : m_path(path) {
        ::unlink(path.c_str());
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        m_fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
        EXPECT_GE(m_fd, 0);
        ::fcntl(m_fd, F_SETPIPE_SZ, 4096);
        m_clock.start();
        m_thread = std::thread([this] { Drain(); });
    }
    ~PacedSink() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes.size();
    }
    std::vector<uint8_t> Bytes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }

  private:
    void Drain() {
        uint8_t buf[256];
        while (!m_stop) {
            const long allowed = long(m_clock.elapsed()) * kRate / 1000 - long(Count());
            pollfd p{m_fd, POLLIN, 0};
            if (allowed <= 0 || ::poll(&p, 1, 5) <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const ssize_t n = ::read(m_fd, buf, size_t(std::min<long>(allowed, sizeof buf)));
            if (n <= 0) continue;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bytes.insert(m_bytes.end(), buf, buf + n);
        }
    }
    std::string m_path;
    int m_fd = -1;
    QElapsedTimer m_clock;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<uint8_t> m_bytes;
    std::thread m_thread;
};

bool idle(DlgRecord& d) {
    return !d.m_bPlaying && !d.HasTimer(DlgRecord::TIMER_CURSOR);
}
} // namespace

// Stop half a second into a 10 s part resets the device: the playback ends
// after a small part of the part's duration and only the start of the part
// reaches the sink (without the reset it would run its full 10 s).
TEST(DlgRecordPacedPlay, StopEndsThePlaybackLongBeforeItsEnd) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(12.0, 0.6, 1.2));
    DlgRecord d(NewFolder("paced-stop").c_str(), kNames, 1);
    runWith(d, [&] {
        d.m_listTime.SetCurSel(2); // 10 sec
        recordToTheEnd(d);
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        d.m_pGraphWnd->SetStartEndTimes(0.0f, 10.0f);
        const long part = 10 * kRate + 1;
        EnvGuard sinkFile("VOK_TEST_OUTFILE", TempDir() + "/paced-stop.fifo");
        PacedSink sink(TempDir() + "/paced-stop.fifo");
        QElapsedTimer played;
        played.start();
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        ASSERT_EQ(d.m_bPlaying, 1);
        ASSERT_TRUE(PumpUntil([&] { return sink.Count() >= size_t(kRate / 2); }));
        click(d, DlgRecord::IDC_BUTTON_STOP);
        ASSERT_TRUE(PumpUntil([&] { return idle(d); }));
        const double ratio = double(played.elapsed()) / 10000.0;
        EXPECT_LT(ratio, 0.4) << "the playback ran on after Stop";
        EXPECT_EQ(states(d), kIdleWithRecording);
        const std::vector<uint8_t> got = sink.Bytes();
        EXPECT_LT(double(got.size()) / double(part), 0.4);
        EXPECT_EQ(got, recorded(d, 0, long(got.size()) - 1));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

// The cursor runs through the graph while a 1 s part plays and is gone at the
// end: the graph's image is again as it was before the playback.
TEST(DlgRecordPacedPlay, CursorIsErasedAtTheEndOfPlayback) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.6, 1.2));
    DlgRecord d(NewFolder("paced-cursor").c_str(), kNames, 1);
    runWith(d, [&] {
        recordToTheEnd(d);
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        d.m_pGraphWnd->SetStartEndTimes(0.5f, 1.5f);
        d.m_pGraphWnd->Invalidate(true);
        d.m_pGraphWnd->UpdateWindow();
        const QImage before = d.m_pGraphWnd->GetImage();
        EnvGuard sinkFile("VOK_TEST_OUTFILE", TempDir() + "/paced-cursor.fifo");
        PacedSink sink(TempDir() + "/paced-cursor.fifo");
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        bool cursorSeen = false;
        ASSERT_TRUE(PumpUntil([&] {
            cursorSeen = cursorSeen || d.m_pGraphWnd->GetImage() != before;
            return idle(d);
        }));
        EXPECT_TRUE(cursorSeen);
        // The whole part reaches the sink.
        EXPECT_TRUE(PumpUntil([&] { return sink.Count() >= size_t(kRate); }));
        EXPECT_TRUE(d.m_pGraphWnd->GetImage() == before);
        // A repaint afterwards does not bring the finished playback's cursor back.
        d.m_pGraphWnd->Invalidate(true);
        d.m_pGraphWnd->UpdateWindow();
        EXPECT_TRUE(d.m_pGraphWnd->GetImage() == before);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}
