// The dialog framework over the record dialog's templates: controls built from
// template 150, modal results, clicks, list boxes, default button, the saving
// popup. (Timers and posted messages are exercised by the record dialog's own
// tests: its capture reports, the cursor and the shutdown timer.)
#include "RecordTestEnv.h"
#include "platform/Dialog.h"
#include "record/DlgSaving.h"
#include <QDialog>
#include <QListWidget>
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

// Templates are found in the own module only; without one the modal run fails.
TEST(DialogTemplate, LookupOnlyInOwnModule) {
    EXPECT_NE(FindDialogTemplate("vokdll.dll", 2001), nullptr);
    EXPECT_EQ(FindDialogTemplate("other.dll", 150), nullptr);
    EXPECT_EQ(FindDialogTemplate("vokdll.dll", 151), nullptr);
    const DLGTEMPLATE* t = FindDialogTemplate("vokdll.dll", 150);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->title, "Record Item");
    CDialog d;
    EXPECT_FALSE(d.InitModalIndirect(nullptr));
    EXPECT_EQ(d.DoModal(), -1);
}

TEST(Dialog, BuildsControlsInDialogUnitsAndEndsWithOk) {
    Probe p;
    p.body = [&](Probe& d) {
        for (int id : {1179, 1160, 1161, 1035, 1036, 1174, 1158, 1171, 1, 1138, 2001, 2003})
            EXPECT_NE(d.GetDlgItem(id), nullptr) << id;
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
        // A click toggles a check box; a disabled button takes no click.
        CButton* check = d.GetButton(1174);
        check->SetCheck(BST_CHECKED);
        click(check);
        EXPECT_EQ(check->GetCheck(), BST_UNCHECKED);
        d.GetDlgItem(1161)->EnableWindow(false);
        EXPECT_FALSE(d.GetDlgItem(1161)->IsWindowEnabled());
        click(d.GetDlgItem(1161));
        click(d.GetDlgItem(1179));
        click(d.GetDlgItem(IDOK));
    };
    EXPECT_EQ(p.DoModal(), IDOK); // the body's click on OK ended it
    EXPECT_EQ(p.initCount, 1);
    using Cmd = std::pair<int, int>;
    EXPECT_EQ(p.commands,
              (std::vector<Cmd>{{1174, BN_CLICKED}, {1179, BN_CLICKED}, {IDOK, BN_CLICKED}}));
    // The window is gone after the run; handles are no longer handed out.
    EXPECT_EQ(p.GetSafeHwnd(), nullptr);
    EXPECT_EQ(p.GetDlgItem(1160), nullptr);
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

TEST(DlgSaving, ShowsNameAndClosesItself) {
    const int before = DlgSaving::LiveCount();
    auto* s = new DlgSaving("a01.wav");
    ASSERT_EQ(DlgSaving::LiveCount(), before + 1);
    ASSERT_NE(s->GetSafeHwnd(), nullptr);
    EXPECT_EQ(s->GetWindowText(), "Saving Recording");
    EXPECT_EQ(s->GetDlgItem(2004)->GetWindowText(), "a01.wav");
    EXPECT_TRUE(s->HasTimer(DlgSaving::kCloseTimer));
    // It removes itself after its timer.
    EXPECT_TRUE(rectest::PumpUntil([&] { return DlgSaving::LiveCount() == before; }, 10000));
}
