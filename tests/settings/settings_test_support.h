#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "date_format_receiver.h"
#include "test_support.h"

namespace corvat::test {

class RecordingReceiver : public DateFormatReceiver {
public:
    void SetDateFormat(int number) override { numbers.push_back(number); }
    std::vector<int> numbers;
};

// Runs `action` on the modal dialog that the next call opens, once exec()
// has it up. Gives up after about three seconds, so that a dialog that never
// opens fails the test instead of hanging it.
template <class Dialog>
void WhenModalOpens(std::function<void(Dialog*)> action, int triesLeft = 300) {
    QTimer::singleShot(triesLeft == 300 ? 0 : 10, [action, triesLeft] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible())
            action(dialog);
        else if (triesLeft > 0)
            WhenModalOpens<Dialog>(action, triesLeft - 1);
        else
            qWarning("no modal dialog opened");
    });
}
inline void WhenModalOpens(std::function<void(QDialog*)> action) {
    WhenModalOpens<QDialog>(std::move(action));
}

}  // namespace corvat::test
