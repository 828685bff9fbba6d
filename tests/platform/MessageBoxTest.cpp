#include "MessageCapture.h"
#include <gtest/gtest.h>

TEST(MessageBox, SinkReceivesTextAndRestores) {
    {
        MessageCapture cap;
        cap.answer = IDCANCEL;
        EXPECT_EQ(AfxMessageBox("Memory Allocation Error", MB_OKCANCEL), IDCANCEL);
        ASSERT_EQ(cap.texts.size(), 1u);
        EXPECT_EQ(cap.texts[0], "Memory Allocation Error");
    }
    // Default sink without a GUI application answers OK and prints to stderr.
    EXPECT_EQ(AfxMessageBox("x"), IDOK);
}
