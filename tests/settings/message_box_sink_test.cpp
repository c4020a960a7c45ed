#include "message_box_sink.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
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

    void questionReturnsTheButtonPressedAndPresetsItsDefault() {
        for (bool yes : {true, false}) {
            for (bool noByDefault : {false, true}) {
                MessageBoxSink sink(nullptr);
                QMessageBox::StandardButtons buttons;
                bool presetRight = false;
                WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
                    buttons = box->standardButtons();
                    presetRight = box->defaultButton() ==
                                  box->button(noByDefault ? QMessageBox::No : QMessageBox::Yes);
                    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
                });
                const std::string question = "Convert the other 2 rows and leave these out?";
                QCOMPARE(noByDefault ? sink.AskYesNoDefaultNo(question) : sink.AskYesNo(question),
                         yes);
                QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
                QVERIFY(presetRight);
            }
        }
    }
};

QTEST_MAIN(MessageBoxSinkTest)
#include "message_box_sink_test.moc"
