#pragma once

#include <QApplication>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "date_format_receiver.h"
#include "message_sink.h"

namespace corvat::test {

// Records every message; answers questions from a script (No when it runs out).
class RecordingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Clear() {
        messages.clear();
        questions.clear();
    }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
};

class RecordingReceiver : public DateFormatReceiver {
public:
    void SetDateFormat(int number) override { numbers.push_back(number); }
    std::vector<int> numbers;
};

// Runs action on the modal dialog that the next call opens (exec() blocks, so
// the action is queued to run once the nested event loop is up).
template <class Dialog>
void WhenModalOpens(std::function<void(Dialog*)> action) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, poll] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            action(dialog);
        } else {
            QTimer::singleShot(10, *poll);
        }
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace corvat::test
