#include "message_box_sink.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

#include "settings_test_support.h"

using namespace corvat;
using test::WhenModalOpens;

class MessageBoxSinkTest : public QObject {
    Q_OBJECT

private slots:
    void messageIsPlainUtf8WithOkAndTheProgramsTitle() {
        QWidget owner;
        MessageBoxSink sink(&owner);
        QString seen;
        bool plainWithOk = false;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            seen = box->windowTitle() + "|" + box->text();
            // Typed markup shows as typed.
            plainWithOk = box->textFormat() == Qt::PlainText &&
                          box->standardButtons() == QMessageBox::StandardButtons(QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        sink.ShowMessage("<b>/home/j\xC3\xBCrgen is not a valid pathname.");
        QCOMPARE(seen, QStringLiteral("Corvat|<b>/home/jürgen is not a valid pathname."));
        QVERIFY(plainWithOk);
    }

    void questionReturnsTheButtonPressed() {
        for (bool yes : {true, false}) {
            MessageBoxSink sink(nullptr);
            QMessageBox::StandardButtons buttons;
            WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
                buttons = box->standardButtons();
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            QCOMPARE(sink.AskYesNo("Directory /x does not exist.\nCreate this directory?"), yes);
            QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
        }
    }
};

QTEST_MAIN(MessageBoxSinkTest)
#include "message_box_sink_test.moc"
