#include "platform/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
void FillWith(QWidget& w, QColor colour) {
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, colour);
    w.setPalette(pal);
    w.setAutoFillBackground(true);
}
} // namespace

TEST(Clipboard, ClientAreaRoundTrip) {
    QWidget w;
    w.resize(40, 30);
    FillWith(w, QColor(10, 200, 30));
    w.show();
    CopyWindowToClipboard(&w, true);
    QImage img = QApplication::clipboard()->image();
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(40, 30));
    EXPECT_EQ(QColor(img.pixel(20, 15)), QColor(10, 200, 30));

    CopyWindowToClipboard(&w, false);
    QImage whole = QApplication::clipboard()->image();
    EXPECT_EQ(whole.size(), w.frameGeometry().size());
}

TEST(Clipboard, ChildWindowUsesItsOwnRectangle) {
    QWidget top;
    top.resize(120, 90);
    QWidget child(&top);
    child.setGeometry(10, 20, 40, 30);
    FillWith(child, QColor(200, 10, 30));
    top.show();
    CopyWindowToClipboard(&child, false);
    QImage img = QApplication::clipboard()->image();
    ASSERT_EQ(img.size(), QSize(40, 30));
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(200, 10, 30));
    EXPECT_EQ(QColor(img.pixel(39, 29)), QColor(200, 10, 30));
}

TEST(Clipboard, HiderHidesAndShows) {
    QWidget w;
    w.show();
    {
        CWndHider h(&w);
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_TRUE(w.isVisible());
    auto* gone = new QWidget;
    {
        CWndHider h(gone);
        delete gone; // the hider must not touch it afterwards
    }
    CWndHider none(static_cast<QWidget*>(nullptr));
}
