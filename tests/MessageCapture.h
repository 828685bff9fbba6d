// Test helper: collects message-box texts while in scope.
#pragma once
#include "platform/MessageBox.h"
#include <string>
#include <vector>

struct MessageCapture {
    std::vector<std::string> texts;
    MessageBoxSink previous;
    int answer = IDOK;
    MessageCapture() {
        previous = SetMessageBoxSink([this](const std::string& t, unsigned) {
            texts.push_back(t);
            return answer;
        });
    }
    ~MessageCapture() { SetMessageBoxSink(previous); }
    std::string last() const { return texts.empty() ? std::string() : texts.back(); }
};
