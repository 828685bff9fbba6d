// Driving the record dialog in tests: running a body inside its modal loop,
// clicking its buttons through real mouse events, choosing an item, its
// button states, a recording that runs until its channel is full, and what
// the recording holds against the capture input.
#pragma once
#include "RecordTestEnv.h"
#include "channels/SoftChanWave8.h"
#include "record/DlgRecord.h"
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace rectest {

// Runs body once the dialog's modal loop has started; returns the modal result.
inline int runWith(DlgRecord& d, std::function<void()> body) {
    QTimer::singleShot(0, [&d, body] {
        if (d.GetSafeHwnd()) body();
    });
    return d.DoModal();
}

inline void click(DlgRecord& d, int id) {
    CControl* c = d.GetDlgItem(id);
    ASSERT_NE(c, nullptr);
    QTest::mouseClick(c->GetWidget(), Qt::LeftButton);
}

inline bool enabled(DlgRecord& d, int id) {
    return d.GetDlgItem(id)->IsWindowEnabled();
}

// Makes item the current one, as a click in the list does.
inline void select(DlgRecord& d, int item) {
    d.m_listFile.SetCurSel(item);
    d.OnSelchangeListFile();
}

// Record, Stop, Play, Save.
inline std::vector<bool> states(DlgRecord& d) {
    return {enabled(d, DlgRecord::IDC_BUTTON_START), enabled(d, DlgRecord::IDC_BUTTON_STOP),
            enabled(d, DlgRecord::IDC_BUTTON_PLAY), enabled(d, DlgRecord::IDC_BUTTON_SAVE)};
}
inline const std::vector<bool> kIdleWithRecording{true, false, true, true};
inline const std::vector<bool> kIdleWithout{true, false, false, false};
inline const std::vector<bool> kBusy{false, true, false, false};

// Records until the full channel stops the capture by itself.
inline void recordToTheEnd(DlgRecord& d) {
    click(d, DlgRecord::IDC_BUTTON_START);
    ASSERT_EQ(d.m_bRecording, 1);
    ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }));
}

// Samples first..last of the dialog's wave channel.
inline std::vector<uint8_t> recorded(DlgRecord& d, long first, long last) {
    std::vector<uint8_t> v;
    for (long k = first; k <= last; ++k)
        v.push_back(uint8_t(d.GetWaveChan()->GetRawVal(k)));
    return v;
}
// What the capture input puts at channel samples first..last: its bytes
// first..last, as every captured byte is kept.
inline std::vector<uint8_t> expected(const std::vector<uint8_t>& input, long first, long last) {
    return std::vector<uint8_t>(input.begin() + first, input.begin() + last + 1);
}

// With VOK_WRITE_DOCS=1 a test's picture of the dialog is kept as docs/NAME.
inline void WriteDocPicture(const QImage& shot, const char* name) {
    if (qEnvironmentVariable("VOK_WRITE_DOCS") != "1") return;
    const QString docs = qEnvironmentVariable("VOK_TEST_DATA") + "/../../docs";
    ASSERT_TRUE(QDir(docs).exists()) << docs.toStdString();
    EXPECT_TRUE(shot.save(docs + "/" + name, "PNG"));
}

} // namespace rectest
