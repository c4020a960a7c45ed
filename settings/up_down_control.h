#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace corvat {

// A stand-alone up-down control bound to a plain edit box. Unlike QSpinBox it
// leaves the box free to hold any text (an out-of-range profile value must show
// unchanged and be refused later by the dialog's checks); it only steps the
// number in the box by one, stops at the ends and writes plain digits.
class UpDownControl : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QLineEdit* buddy, QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    QLineEdit* Buddy() const { return m_buddy; }

    // One click of the up (+1) or down (-1) arrow.
    void Step(int delta);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;  // used when the box holds no number
};

}  // namespace corvat
