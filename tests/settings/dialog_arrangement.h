#pragma once

#include "settings_test_support.h"
#include "up_down_control.h"

namespace corvat::test {

// The widgets a user sees as one control each: parts of a control (a combo
// box's edit field, an up-down control's arrows) are left out.
inline QList<QWidget*> Controls(QWidget* dialog) {
    const auto composite = [](QWidget* w) {
        return qobject_cast<QComboBox*>(w) || qobject_cast<UpDownControl*>(w) ||
               qobject_cast<QAbstractScrollArea*>(w);
    };
    QList<QWidget*> controls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != dialog; p = p->parentWidget())
            part = part || composite(p);
        if (w->isVisibleTo(dialog) && !part &&
            (composite(w) || qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
             qobject_cast<QLineEdit*>(w) || qobject_cast<QGroupBox*>(w)))
            controls.append(w);
    }
    return controls;
}

inline QRect InDialog(QWidget* w, QWidget* dialog) {
    return QRect(w->mapTo(dialog, QPoint(0, 0)), w->size());
}

inline QString Describe(QWidget* w) {
    return QStringLiteral("%1 %2").arg(w->metaObject()->className(), w->objectName());
}

// Every control inside the dialog, none cut, none overlapping another, none
// leaving its group box; the dialog's picture is saved as `shotName`.
inline void CheckArrangement(QWidget* dialog, const QString& shotName) {
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QRect inside = dialog->rect();
    const QList<QWidget*> controls = Controls(dialog);
    QVERIFY(controls.size() > 5);

    for (QWidget* c : controls) {
        const QRect r = InDialog(c, dialog);
        QVERIFY2(inside.contains(r) && !r.isEmpty(), qPrintable(Describe(c) + " is outside"));
        // Texts must not be cut: each control gets at least the size it asks for.
        if (qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c)) {
            QVERIFY2(c->width() >= c->sizeHint().width() && c->height() >= c->sizeHint().height(),
                     qPrintable(Describe(c) + " is too small for its text"));
        }
        // Controls in a group box stay below its title and inside its frame.
        if (auto* group = qobject_cast<QGroupBox*>(c->parentWidget())) {
            QVERIFY2(group->contentsRect().contains(QRect(c->pos(), c->size())),
                     qPrintable(Describe(c) + " leaves its group box"));
        }
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i];
            QWidget* b = controls[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
            QVERIFY2(!InDialog(a, dialog).intersects(InDialog(b, dialog)),
                     qPrintable(Describe(a) + " overlaps " + Describe(b)));
        }
    }

    const QImage shot = dialog->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3) {
        for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
    }
    QVERIFY2(colours.size() > 4, "the screenshot is blank");
    QDir().mkpath(QStringLiteral(CORVAT_SCREENSHOT_DIR));
    QVERIFY(shot.save(QStringLiteral(CORVAT_SCREENSHOT_DIR "/%1").arg(shotName)));
}

}  // namespace corvat::test
