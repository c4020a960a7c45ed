#include "message_box_sink.h"

#include <QMessageBox>

namespace corvat {

namespace {
const QString kTitle = QStringLiteral("Corvat");
}

void MessageBoxSink::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, QString::fromStdString(text), QMessageBox::Ok,
                    m_parent);
    // Messages quote what the user typed; "<b>" in a path must show as typed.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool MessageBoxSink::AskYesNo(const std::string& text) { return Ask(text, true); }

bool MessageBoxSink::AskYesNoDefaultNo(const std::string& text) { return Ask(text, false); }

bool MessageBoxSink::Ask(const std::string& text, bool yesByDefault) {
    QMessageBox box(QMessageBox::Question, kTitle, QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace corvat
