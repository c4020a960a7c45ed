#pragma once

#include <QLineEdit>

namespace corvat {

// An edit box that refuses typing beyond a number of characters but, unlike
// QLineEdit::setMaxLength, keeps a longer text set by the program: a value
// from the profile or the directory chooser must show in full so that the
// dialog's length check can refuse it instead of silently cutting it.
class LimitedLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit LimitedLineEdit(int typingLimit, QWidget* parent = nullptr);

    int TypingLimit() const { return m_limit; }

private:
    void OnTextEdited(const QString& text);

    int m_limit;
    QString m_accepted;
};

}  // namespace corvat
