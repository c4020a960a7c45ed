#pragma once

#include <QFontMetrics>

namespace corvat {

// Dialog units as the dialogs' original rectangles use them: a quarter of the
// font's average character width across, an eighth of its height down. Sizes
// built from them grow with the font and so read well at any screen scale.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& metrics)
        : m_charWidth(metrics.horizontalAdvance(
                          QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                      52.0),
          m_charHeight(metrics.height()) {}

    int X(int units) const { return static_cast<int>(units * m_charWidth / 4.0 + 0.5); }
    int Y(int units) const { return static_cast<int>(units * m_charHeight / 8.0 + 0.5); }

private:
    double m_charWidth;
    int m_charHeight;
};

}  // namespace corvat
