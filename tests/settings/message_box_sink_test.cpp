#include "message_box_sink.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

#include "test_support.h"

using namespace corvat;
using test::WhenModalOpens;

class MessageBoxSinkTest : public QObject {
    Q_OBJECT

private slots:
    void messageIsPlainUtf8WithOkAndTheProgramsTitle() {
        QWidget owner;
        MessageBoxSink sink(&owner);
        QString title, text;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::StandardButtons buttons;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        sink.ShowMessage("<b>/home/j\xC3\xBCrgen is not a valid pathname.");
        QCOMPARE(title, QStringLiteral("Corvat"));
        QCOMPARE(text, QStringLiteral("<b>/home/jürgen is not a valid pathname."));
        QCOMPARE(format, Qt::PlainText);  // typed markup shows as typed
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
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
