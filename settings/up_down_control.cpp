#include "up_down_control.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "whole_number.h"

namespace corvat {

UpDownControl::UpDownControl(QLineEdit* buddy, QWidget* parent) : QWidget(parent), m_buddy(buddy) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makeArrow = [this, layout](Qt::ArrowType arrow, int delta) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        // The two arrows share the height of the box they sit beside.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        connect(button, &QToolButton::clicked, this, [this, delta] { Step(delta); });
        layout->addWidget(button);
        return button;
    };
    m_up = makeArrow(Qt::UpArrow, +1);
    m_down = makeArrow(Qt::DownArrow, -1);
    setFocusPolicy(Qt::ClickFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // The arrow keys step the number while the box has the focus, as they do
    // with the up-down control itself.
    m_buddy->installEventFilter(this);
}

void UpDownControl::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    m_position = std::clamp(m_position, m_lower, m_upper);
}

void UpDownControl::Step(int delta) {
    if (!isEnabled()) return;
    // A box without a number steps from where the control last stood.
    const int current = ParseWholeNumber(m_buddy->text()).value_or(m_position);
    // Clamp after stepping, so that an out-of-range number such as 25 moves
    // to the nearest end instead of further away.
    m_position = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(current) + delta, m_lower, m_upper));
    m_buddy->setText(QString::number(m_position));
}

QSize UpDownControl::sizeHint() const {
    const int width = std::max(12, fontMetrics().height() * 3 / 4);
    return {width, m_buddy->sizeHint().height()};
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            Step(key->key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Step(event->key() == Qt::Key_Up ? +1 : -1);
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace corvat
