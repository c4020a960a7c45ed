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
    void messageHasOkAndTheProgramsTitle() {
        QWidget owner;
        MessageBoxSink sink(&owner);
        QString title, text;
        QMessageBox::StandardButtons buttons;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        sink.ShowMessage("Duplicate columns specified\nCorrect or disable");
        QCOMPARE(title, QStringLiteral("Corvat"));
        QCOMPARE(text, QStringLiteral("Duplicate columns specified\nCorrect or disable"));
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void questionReturnsTheButtonPressed_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void questionReturnsTheButtonPressed() {
        QFETCH(bool, yes);
        MessageBoxSink sink(nullptr);
        QMessageBox::StandardButtons buttons;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            buttons = box->standardButtons();
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        QCOMPARE(sink.AskYesNo("Directory /x does not exist.\nCreate this directory?"), yes);
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    }

    void textIsTakenAsUtf8() {
        MessageBoxSink sink(nullptr);
        QString text;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        sink.ShowMessage("/home/j\xC3\xBCrgen is not a valid pathname.");
        QCOMPARE(text, QStringLiteral("/home/jürgen is not a valid pathname."));
    }

    void typedMarkupShowsAsTyped() {
        MessageBoxSink sink(nullptr);
        Qt::TextFormat format = Qt::AutoText;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            format = box->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        sink.ShowMessage("<b>x is not a valid pathname.");
        QCOMPARE(format, Qt::PlainText);
    }
};

QTEST_MAIN(MessageBoxSinkTest)
#include "message_box_sink_test.moc"
