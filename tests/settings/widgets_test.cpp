// The small widgets of the dialogs: number boxes with their arrows, text
// boxes with a length limit, and the message boxes of MessageBoxSink.

#include "limited_line_edit.h"
#include "message_box_sink.h"
#include "settings_test_support.h"
#include "up_down_control.h"

using namespace corvat;
using test::WhenModalOpens;

class WidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void stepsWithinTheRange_data() {
        QTest::addColumn<int>("upper");  // the lower end is 1, or 0 with 200 (skip rows)
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stops at the top") << 20 << "20" << +1 << "20";
        QTest::newRow("stops at the bottom") << 20 << "1" << -1 << "1";
        QTest::newRow("skip rows top") << 200 << "199" << +1 << "200";
        QTest::newRow("skip rows bottom") << 200 << "0" << -1 << "0";
        QTest::newRow("25 up") << 20 << "25" << +1 << "20";
        QTest::newRow("25 down") << 20 << "25" << -1 << "20";
        QTest::newRow("0 down") << 20 << "0" << -1 << "1";
        QTest::newRow("blanks around") << 20 << " 7 " << +1 << "8";
        QTest::newRow("leading zeros") << 20 << "007" << -1 << "6";
        QTest::newRow("huge number") << 20 << "99999999999999" << -1 << "20";
    }
    void stepsWithinTheRange() {
        QFETCH(int, upper);
        QFETCH(QString, text);
        QFETCH(int, delta);
        QFETCH(QString, expected);
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(upper == 200 ? 0 : 1, upper);
        box.setText(text);
        QTest::mouseClick(delta > 0 ? spin.UpButton() : spin.DownButton(), Qt::LeftButton);
        QCOMPARE(box.text(), expected);
    }

    void keysAndNonNumbers() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(QStringLiteral("3"));
        for (auto key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}) QTest::keyClick(&box, key);
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("5"));
        box.setText(QStringLiteral("abc"));  // no number: steps from the last position
        spin.Step(+1);
        QCOMPARE(box.text(), QStringLiteral("6"));
        box.selectAll();
        QTest::keyClicks(&box, QStringLiteral("x9"));  // other keys still edit the box
        spin.setEnabled(false);                        // disabled, it leaves the box alone
        spin.Step(+1);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("x9"));
        QVERIFY(spin.UpButton()->autoRepeat() && spin.DownButton()->autoRepeat());
    }

    void typingAndPastingStopAtTheLimitButProgramTextStays() {
        LimitedLineEdit edit(6);
        QTest::keyClicks(&edit, QStringLiteral("ABCDEFGH"));
        QTest::keyClick(&edit, Qt::Key_Backspace);  // room made can be filled again
        QTest::keyClicks(&edit, QStringLiteral("xyz"));
        QCOMPARE(edit.text(), QStringLiteral("ABCDEx"));
        edit.setText(QStringLiteral("abcd"));
        edit.setCursorPosition(2);
        QTest::keyClicks(&edit, QStringLiteral("123"));
        QCOMPARE(std::pair(edit.text(), edit.cursorPosition()), std::pair(QString("ab12cd"), 4));
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        edit.setText(QStringLiteral("abcd"));
        edit.setCursorPosition(1);
        edit.paste();  // keeps only the head that fits
        QCOMPARE(edit.text(), QStringLiteral("aXYbcd"));
        // A longer text set by the program is kept, cannot grow, may shrink.
        edit.setText(QStringLiteral("ABCDEFGH"));
        edit.end(false);
        QTest::keyClicks(&edit, QStringLiteral("Z"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("ABCDEFG"));
    }

    void messageIsPlainUtf8WithOkAndTheProgramsTitle() {
        QWidget owner;
        QString seen;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            // Typed markup shows as typed.
            seen = box->windowTitle() + "|" + box->text() + "|" +
                   QString::number(box->textFormat() == Qt::PlainText &&
                                   box->standardButtons() == QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        MessageBoxSink(&owner).ShowMessage("<b>/home/j\xC3\xBCrgen is not a valid pathname.");
        QCOMPARE(seen, QStringLiteral("Corvat|<b>/home/jürgen is not a valid pathname.|1"));
    }

    void questionReturnsTheButtonPressedAndPresetsItsDefault() {
        for (int i = 0; i < 4; ++i) {
            const bool yes = i & 1, noByDefault = i & 2;
            MessageBoxSink sink(nullptr);
            bool shownRight = false;
            WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
                shownRight = box->standardButtons() == (QMessageBox::Yes | QMessageBox::No) &&
                             box->defaultButton() ==
                                 box->button(noByDefault ? QMessageBox::No : QMessageBox::Yes);
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            const std::string question = "Convert the other 2 rows and leave these out?";
            QCOMPARE(noByDefault ? sink.AskYesNoDefaultNo(question) : sink.AskYesNo(question), yes);
            QVERIFY(shownRight);
        }
    }
};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
