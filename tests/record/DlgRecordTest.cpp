// The record dialog's layout, lists, button states, item selection and ending.
#include "record/DlgRecord.h"
#include "DlgDriver.h"
#include "graph/CounterWnd.h"
#include "graph/GraphWnd.h"
#include <QListWidget>
#include <gtest/gtest.h>

using namespace rectest;

namespace {
const char* kNames[] = {"a01", "a02", "a03"};
} // namespace

// The folder always gets a slash added; the first n names are copied, none
// for a negative count.
TEST(DlgRecord, FolderGetsASlashAndNamesAreCopied) {
    DlgRecord a("/tmp/rec", kNames, 3);
    EXPECT_EQ(a.m_strFolder, "/tmp/rec/");
    EXPECT_EQ(a.m_arrFiles, (std::vector<std::string>{"a01", "a02", "a03"}));
    DlgRecord b("/tmp/rec/", kNames, 2);
    EXPECT_EQ(b.m_strFolder, "/tmp/rec//");
    EXPECT_EQ(b.m_arrFiles.size(), 2u);
    DlgRecord c("/tmp", kNames, -4);
    EXPECT_TRUE(c.m_arrFiles.empty());
}

TEST(DlgRecord, OpensWithListsDefaultButtonAndIdleButtons) {
    DlgRecord::m_bShuttingDown = 1; // left over from an earlier dialog
    DlgRecord d("/tmp", kNames, 3);
    int rc = runWith(d, [&] {
        EXPECT_EQ(DlgRecord::m_bShuttingDown, 0);
        EXPECT_EQ(d.GetWindowText(), "Record Item");
        EXPECT_EQ(d.GetButton(DlgRecord::IDC_CHECK_AUTOSAVE)->GetCheck(), BST_CHECKED);
        EXPECT_TRUE(d.GetButton(DlgRecord::IDC_BUTTON_START)->IsDefault());
        EXPECT_FALSE(d.GetButton(IDOK)->IsDefault());
        ASSERT_EQ(d.m_listTime.GetCount(), 7);
        EXPECT_EQ(d.m_listTime.GetText(0), "2 sec");
        EXPECT_EQ(d.m_listTime.GetText(3), "20 sec");
        EXPECT_EQ(d.m_listTime.GetText(6), "300 sec");
        EXPECT_EQ(d.m_listTime.GetCurSel(), 0);
        ASSERT_EQ(d.m_listFile.GetCount(), 3);
        EXPECT_EQ(d.m_listFile.GetCurSel(), 0);
        EXPECT_EQ(d.m_strFile, "a01");
        EXPECT_EQ(states(d), kIdleWithout);
        EXPECT_FALSE(d.GetDlgItem(DlgRecord::IDC_COUNTER_FRAME)->IsWindowVisible());
        QTest::keyClick(d.GetSafeHwnd(), Qt::Key_Escape);
    });
    EXPECT_EQ(rc, IDCANCEL);
}

TEST(DlgRecord, ButtonStatesFollowTheFlags) {
    DlgRecord d("/tmp", kNames, 1);
    runWith(d, [&] {
        d.m_bRecording = 1;
        d.EnableButtons();
        EXPECT_EQ(states(d), kBusy);
        d.m_bRecording = 0;
        d.m_iWaveChan = 0;
        d.EnableButtons();
        EXPECT_EQ(states(d), kIdleWithRecording);
        d.m_bPlaying = 1;
        d.EnableButtons();
        EXPECT_EQ(states(d), kBusy);
        // While shutting down the buttons are left alone.
        DlgRecord::m_bShuttingDown = 1;
        d.m_bPlaying = 0;
        d.EnableButtons();
        EXPECT_EQ(states(d), kBusy);
        DlgRecord::m_bShuttingDown = 0;
        d.m_iWaveChan = -1;
        d.EndDialog(IDCANCEL);
    });
}

// Next and clicks in the list choose the item, Next staying at the last one;
// with no items there is never a current one.
TEST(DlgRecord, NextAndListClicksChooseTheItem) {
    DlgRecord d("/tmp", kNames, 3);
    runWith(d, [&] {
        // Autosave off so that Next saves nothing here.
        click(d, DlgRecord::IDC_CHECK_AUTOSAVE);
        click(d, DlgRecord::IDC_BUTTON_NEXT);
        EXPECT_EQ(d.m_bAutosave, 0);
        EXPECT_EQ(d.m_listFile.GetCurSel(), 1);
        EXPECT_EQ(d.m_strFile, "a02");
        click(d, DlgRecord::IDC_BUTTON_NEXT);
        click(d, DlgRecord::IDC_BUTTON_NEXT); // stays at the last item
        EXPECT_EQ(d.m_listFile.GetCurSel(), 2);
        EXPECT_EQ(d.m_strFile, "a03");
        auto* w = qobject_cast<QListWidget*>(d.m_listFile.GetWidget());
        QTest::mouseClick(w->viewport(), Qt::LeftButton, {},
                          w->visualItemRect(w->item(0)).center());
        EXPECT_EQ(d.m_strFile, "a01");
        click(d, IDOK);
    });
    EXPECT_EQ(d.m_strFile, "a01");

    DlgRecord empty("/tmp", nullptr, 0);
    int rc = runWith(empty, [&] {
        EXPECT_EQ(empty.m_listFile.GetCount(), 0);
        EXPECT_EQ(empty.m_strFile, "");
        click(empty, DlgRecord::IDC_BUTTON_NEXT);
        EXPECT_EQ(empty.m_strFile, "");
        click(empty, IDOK);
    });
    EXPECT_EQ(rc, IDOK);
}

TEST(DlgRecord, ItemNamesMustStayInsideTheFolder) {
    for (const char* name : {"a01.wav", "sub/a01", "a..b"})
        EXPECT_TRUE(DlgRecord::IsSafeItemName(name)) << name;
    for (const char* name : {"", "/etc/passwd", "../x", "a/../../x", ".."})
        EXPECT_FALSE(DlgRecord::IsSafeItemName(name)) << name;
}

// The graph and counter windows are bordered children: a black frame one
// pixel wide, seen in the dialog, around a client area two pixels smaller.
TEST(DlgRecord, GraphAndCounterWindowsAreBordered) {
    DlgRecord d("/tmp", kNames, 3);
    runWith(d, [&] {
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        ASSERT_NE(d.m_pCounterWnd, nullptr);
        QWidget* dlg = d.GetSafeHwnd();
        QWidget* g = d.m_pGraphWnd->GetSafeHwnd();
        const QImage shot = dlg->grab().toImage();
        const QRect r(g->mapTo(dlg, QPoint(0, 0)), g->size());
        for (const QPoint& p : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(),
                                QPoint(r.center().x(), r.top()), QPoint(r.left(), r.center().y())})
            EXPECT_EQ(shot.pixel(p) & 0xFFFFFFu, 0u) << p.x() << "," << p.y();
        EXPECT_EQ(d.m_pGraphWnd->GetClientRect().Width(), r.width() - 2);
        EXPECT_EQ(d.m_pGraphWnd->GetClientRect().Height(), r.height() - 2);
        QWidget* c = d.m_pCounterWnd->GetSafeHwnd();
        EXPECT_EQ(d.m_pCounterWnd->GetClientRect().Width(), c->width() - 2);
        EXPECT_EQ(c->grab().toImage().pixel(0, 0) & 0xFFFFFFu, 0u);
        d.EndDialog(IDCANCEL);
    });
}
