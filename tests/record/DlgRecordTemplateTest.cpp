// The dialog framework over the record dialog's templates: controls built from
// template 150, modal results, list boxes, default button, the saving popup.
#include "platform/Dialog.h"
#include "record/DlgSaving.h"
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {
// A dialog over template 150 that runs a test body once the window is up.
struct Probe : CDialog {
    std::function<void(Probe&)> body;
    std::vector<std::pair<int, int>> commands;
    int initCount = 0;
    Probe() { InitModalIndirect(FindDialogTemplate(kVokModuleName, 150)); }
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCount;
        QTimer::singleShot(0, GetSafeHwnd(), [this] { body(*this); });
        return true;
    }
    bool OnCommand(int id, int code) override {
        commands.emplace_back(id, code);
        return CDialog::OnCommand(id, code);
    }
};

void click(CControl* c) {
    ASSERT_NE(c, nullptr);
    QTest::mouseClick(c->GetWidget(), Qt::LeftButton);
}
} // namespace

TEST(DialogTemplate, LookupOnlyInOwnModule) {
    EXPECT_NE(FindDialogTemplate("vokdll.dll", 150), nullptr);
    EXPECT_NE(FindDialogTemplate("vokdll.dll", 2001), nullptr);
    EXPECT_EQ(FindDialogTemplate("other.dll", 150), nullptr);
    EXPECT_EQ(FindDialogTemplate("vokdll.dll", 151), nullptr);
    const DLGTEMPLATE* t = FindDialogTemplate("vokdll.dll", 150);
    EXPECT_STREQ(t->title, "Record Item");
    EXPECT_EQ(t->cx, 350);
    EXPECT_EQ(t->cy, 215);
    EXPECT_EQ(t->nItems, 15);
}

TEST(Dialog, NoTemplateFailsModalRun) {
    CDialog d;
    EXPECT_FALSE(d.InitModalIndirect(nullptr));
    EXPECT_EQ(d.DoModal(), -1);
}

TEST(Dialog, BuildsControlsInDialogUnitsAndEndsWithOk) {
    Probe p;
    bool ran = false;
    p.body = [&](Probe& d) {
        ran = true;
        for (int id : {1179, 1160, 1161, 1035, 1036, 1174, 1158, 1171, 1, 1138, 2001, 2003})
            EXPECT_NE(d.GetDlgItem(id), nullptr) << id;
        EXPECT_EQ(d.GetWindowText(), "Record Item");
        EXPECT_EQ(d.GetDlgItem(1160)->GetWindowText(), "Record");
        EXPECT_NE(d.GetListBox(2001), nullptr);
        EXPECT_EQ(d.GetListBox(1160), nullptr); // a button is no list box
        // Positions scale with the font: Next and Record share x and width.
        CRect next = d.GetDlgItem(1179)->GetClientRectInParent();
        CRect rec = d.GetDlgItem(1160)->GetClientRectInParent();
        EXPECT_EQ(next.left, rec.left);
        EXPECT_EQ(next.Width(), rec.Width());
        EXPECT_GT(rec.top, next.top);
        EXPECT_EQ(rec.left, d.MapDialogRect(304, 120, 32, 14).left);
        // OK is the template's default button.
        EXPECT_EQ(d.GetDefID(), IDOK);
        EXPECT_TRUE(d.GetButton(IDOK)->IsDefault());
        d.SetDefID(1160);
        EXPECT_TRUE(d.GetButton(1160)->IsDefault());
        EXPECT_FALSE(d.GetButton(IDOK)->IsDefault());
        click(d.GetDlgItem(1179));
        click(d.GetDlgItem(IDOK));
    };
    EXPECT_EQ(p.DoModal(), IDOK);
    EXPECT_TRUE(ran);
    EXPECT_EQ(p.initCount, 1);
    ASSERT_GE(p.commands.size(), 2u);
    EXPECT_EQ(p.commands.front(), std::make_pair(1179, int(BN_CLICKED)));
    EXPECT_EQ(p.commands.back(), std::make_pair(int(IDOK), int(BN_CLICKED)));
    // The window is gone after the run; handles are no longer handed out.
    EXPECT_EQ(p.GetSafeHwnd(), nullptr);
    EXPECT_EQ(p.GetDlgItem(1160), nullptr);
}

TEST(Dialog, EscapeCancels) {
    Probe p;
    p.body = [](Probe& d) { QTest::keyClick(d.GetSafeHwnd(), Qt::Key_Escape); };
    EXPECT_EQ(p.DoModal(), IDCANCEL);
}

TEST(Dialog, ListBoxSelectionAndNotification) {
    Probe p;
    p.body = [](Probe& d) {
        CListBox* l = d.GetListBox(2001);
        EXPECT_EQ(l->GetCurSel(), LB_ERR);
        EXPECT_EQ(l->AddString("a01"), 0);
        EXPECT_EQ(l->AddString("a02"), 1);
        EXPECT_EQ(l->GetCount(), 2);
        EXPECT_EQ(l->SetCurSel(1), 1);
        EXPECT_EQ(l->GetCurSel(), 1);
        EXPECT_EQ(l->GetText(0), "a01");
        EXPECT_EQ(l->GetText(5), "");
        EXPECT_EQ(l->SetCurSel(7), LB_ERR);
        EXPECT_EQ(l->GetCurSel(), LB_ERR);
        // A program's selection sends nothing; a user's click does.
        size_t before = d.commands.size();
        l->SetCurSel(0);
        EXPECT_EQ(d.commands.size(), before);
        auto* w = qobject_cast<QListWidget*>(l->GetWidget());
        QRect r = w->visualItemRect(w->item(1));
        QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_EQ(l->GetCurSel(), 1);
        ASSERT_GT(d.commands.size(), before);
        EXPECT_EQ(d.commands.back(), std::make_pair(2001, int(LBN_SELCHANGE)));
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(p.DoModal(), IDCANCEL);
}

TEST(Dialog, EnableCheckTimerAndPostedMessages) {
    struct TimerProbe : Probe {
        int ticks = 0;
        std::vector<unsigned> msgs;
        void OnTimer(unsigned id) override {
            if (id == 7 && ++ticks == 3) {
                KillTimer(7);
                PostMessage(WM_APP + 5, 100, 1);
            }
        }
        intptr_t WindowProc(unsigned msg, uintptr_t w, intptr_t l) override {
            msgs.push_back(msg);
            if (msg == WM_APP + 5 && w == 100 && l == 1) EndDialog(IDOK);
            return CDialog::WindowProc(msg, w, l);
        }
    } p;
    p.body = [&p](Probe& d) {
        CButton* check = d.GetButton(1174);
        check->SetCheck(BST_CHECKED);
        EXPECT_EQ(check->GetCheck(), BST_CHECKED);
        click(check);
        EXPECT_EQ(check->GetCheck(), BST_UNCHECKED);
        d.GetDlgItem(1161)->EnableWindow(false);
        EXPECT_FALSE(d.GetDlgItem(1161)->IsWindowEnabled());
        // A disabled button takes no click.
        size_t before = d.commands.size();
        click(d.GetDlgItem(1161));
        EXPECT_EQ(d.commands.size(), before);
        d.SetTimer(7, 5);
        EXPECT_TRUE(d.HasTimer(7));
        (void)p;
    };
    EXPECT_EQ(p.DoModal(), IDOK);
    EXPECT_EQ(p.ticks, 3);
    EXPECT_EQ(p.msgs.size(), 1u);
}

TEST(DlgSaving, ShowsNameAndClosesItself) {
    const int before = DlgSaving::LiveCount();
    auto* s = new DlgSaving("a01.wav");
    ASSERT_EQ(DlgSaving::LiveCount(), before + 1);
    ASSERT_NE(s->GetSafeHwnd(), nullptr);
    EXPECT_EQ(s->GetWindowText(), "Saving Recording");
    EXPECT_EQ(s->GetDlgItem(2004)->GetWindowText(), "a01.wav");
    EXPECT_TRUE(s->HasTimer(DlgSaving::kCloseTimer));
    // It removes itself after its timer; wait on the event loop, bounded.
    QElapsedTimer t;
    t.start();
    while (DlgSaving::LiveCount() > before && t.elapsed() < 10000)
        QTest::qWait(20);
    EXPECT_EQ(DlgSaving::LiveCount(), before);
}
