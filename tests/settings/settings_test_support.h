#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <vector>

#include "date_format_receiver.h"
#include "test_support.h"

namespace corvat::test {

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
