#include "limited_line_edit.h"

#include <algorithm>

namespace corvat {

LimitedLineEdit::LimitedLineEdit(int typingLimit, QWidget* parent)
    : QLineEdit(parent), m_limit(typingLimit) {
    // Programmatic texts are taken as they are; only the user's edits are cut.
    // text() rather than the signal's argument: a cut made while the edit is
    // being reported is followed by a late textChanged carrying the uncut text.
    connect(this, &QLineEdit::textChanged, this, [this] { m_accepted = text(); });
    connect(this, &QLineEdit::textEdited, this, &LimitedLineEdit::OnTextEdited);
}

void LimitedLineEdit::OnTextEdited(const QString& text) {
    const QString before = m_accepted;
    if (text.size() <= m_limit || text.size() <= before.size()) {
        m_accepted = text;
        return;
    }
    // Find what the edit inserted (between the common head and tail of the
    // two texts) and keep only as much of it as still fits.
    const qsizetype maxCommon = std::min(before.size(), text.size());
    qsizetype head = 0;
    while (head < maxCommon && before[head] == text[head]) ++head;
    qsizetype tail = 0;
    while (tail < maxCommon - head &&
           before[before.size() - 1 - tail] == text[text.size() - 1 - tail]) {
        ++tail;
    }
    const QString inserted = text.mid(head, text.size() - head - tail);
    const qsizetype room = std::max<qsizetype>(0, m_limit - head - tail);
    const QString kept = text.left(head) + inserted.left(room) + text.right(tail);
    const int cursor = static_cast<int>(head + std::min(room, inserted.size()));
    QSignalBlocker block(this);
    setText(kept);
    setCursorPosition(cursor);
    m_accepted = kept;
}

}  // namespace corvat
