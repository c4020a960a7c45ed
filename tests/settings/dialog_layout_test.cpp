
#include "choose_dir.h"
#include "control_id.h"
#include "settings_dlg.h"
#include "settings_ids.h"
#include "settings_test_support.h"
#include "up_down_control.h"

using namespace corvat;

namespace {

// The widgets a user sees as one control each: parts of a control (a combo
// box's edit field, an up-down control's arrows) are left out.
QList<QWidget*> Controls(QWidget* dialog) {
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

QRect InDialog(QWidget* w, QWidget* dialog) {
    return QRect(w->mapTo(dialog, QPoint(0, 0)), w->size());
}

QString Describe(QWidget* w) {
    return QStringLiteral("%1 %2").arg(w->metaObject()->className(), w->objectName());
}

void CheckArrangement(QWidget* dialog, const QString& shotName) {
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

}  // namespace

class DialogLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void settingsDialogArrangement_data() {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("normal font") << 1.0;
        QTest::newRow("large font") << 1.75;
    }
    void settingsDialogArrangement() {
        QFETCH(qreal, scale);
        test::RecordingSink sink;
        test::RecordingReceiver receiver;
        // A bigger application font stands for a bigger screen scale.
        const QFont normal = QApplication::font();
        const auto restore = qScopeGuard([normal] { QApplication::setFont(normal); });
        QFont font = normal;
        font.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(font);
        CSettingsDlg dlg(sink, receiver);
        SettingsValues v;
        v.Path = QStringLiteral("/home/user/MetaStock/Data");
        v.Symbol = v.Name = QStringLiteral("IBM");
        dlg.SetValues(v);
        // The first-row line filled to its longest: the detection note too.
        dlg.SetInput(
            "Date,Open,High,Low,Close,Adj Close,Volume\n"
            "2024-01-02,187.15,188.44,183.89,185.64,185.4,82488700\n");
        CheckArrangement(&dlg, scale == 1.0 ? QStringLiteral("settings-dialog.png")
                                            : QStringLiteral("settings-dialog-large.png"));

        // The four group boxes are stacked in their order, OK and Cancel
        // beneath them at the bottom right.
        const QStringList titles = {
            "Input File: Supported Fields and Column Assignments", "Input File: Detail Settings",
            "Output File: Path to Output Files", "Output File: Detail Settings"};
        QList<QGroupBox*> groups = dlg.findChildren<QGroupBox*>();
        std::sort(groups.begin(), groups.end(),
                  [](QGroupBox* a, QGroupBox* b) { return a->y() < b->y(); });
        QCOMPARE(groups.size(), 4);
        for (int i = 0; i < 4; ++i) QCOMPARE(groups[i]->title(), titles[i]);
        auto* ok = FindControl<QPushButton>(&dlg, kIdOk);
        auto* cancel = FindControl<QPushButton>(&dlg, kIdCancel);
        QVERIFY(ok->y() > groups[3]->geometry().bottom());
        QVERIFY(ok->x() < cancel->x());
        QVERIFY(cancel->geometry().right() > dlg.width() * 3 / 4);

        // Fields run left to right in their order, each with its arrows right beside it.
        const int order[] = {kIdDateCol, kIdOpenCol, kIdHiCol, kIdLoCol,
                             kIdCloCol,  kIdVolCol,  kIdOICol};
        for (int i = 0; i < 7; ++i) {
            QWidget* box = FindControl(&dlg, order[i]);
            QCOMPARE(FindControl(&dlg, order[i] + 1)->x(), box->geometry().right() + 1);
            if (i > 0) QVERIFY(FindControl(&dlg, order[i - 1])->x() < box->x());
        }
    }

    void chooserArrangement() {
        test::RecordingSink sink;
        QTemporaryDir tmp;
        QDir(tmp.path()).mkpath(QStringLiteral("Prices/Daily"));
        QDir(tmp.path()).mkpath(QStringLiteral("Prices/Weekly"));
        CChooseDir dlg(sink, tmp.path() + QStringLiteral("/Prices"));
        CheckArrangement(&dlg, QStringLiteral("choose-dir.png"));
        auto* ok = FindControl<QPushButton>(&dlg, kIdOk);
        QWidget* list = FindControl(&dlg, kIdDirectoryList);
        QVERIFY(FindControl(&dlg, kIdDirectoryBox)->y() < list->y());
        QVERIFY(list->y() < FindControl(&dlg, kIdDriveList)->y());
        QVERIFY(ok->x() > list->geometry().right() && ok->isDefault());
    }
};

QTEST_MAIN(DialogLayoutTest)
#include "dialog_layout_test.moc"
