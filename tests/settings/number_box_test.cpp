#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "limited_line_edit.h"
#include "up_down_control.h"

using namespace corvat;

class NumberBoxTest : public QObject {
    Q_OBJECT

private slots:
    void stepsWithinTheRange_data() {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stops at the top") << 1 << 20 << "20" << +1 << "20";
        QTest::newRow("stops at the bottom") << 1 << 20 << "1" << -1 << "1";
        QTest::newRow("skip rows top") << 0 << 200 << "199" << +1 << "200";
        QTest::newRow("skip rows bottom") << 0 << 200 << "0" << -1 << "0";
        QTest::newRow("25 up") << 1 << 20 << "25" << +1 << "20";
        QTest::newRow("25 down") << 1 << 20 << "25" << -1 << "20";
        QTest::newRow("0 down") << 1 << 20 << "0" << -1 << "1";
        QTest::newRow("blanks around") << 1 << 20 << " 7 " << +1 << "8";
        QTest::newRow("leading zeros") << 1 << 20 << "007" << -1 << "6";
        QTest::newRow("huge number") << 1 << 20 << "99999999999999" << -1 << "20";
    }
    void stepsWithinTheRange() {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QFETCH(QString, text);
        QFETCH(int, delta);
        QFETCH(QString, expected);
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(lower, upper);
        box.setText(text);
        QTest::mouseClick(delta > 0 ? spin.UpButton() : spin.DownButton(), Qt::LeftButton);
        QCOMPARE(box.text(), expected);
    }

    void keysAndNonNumbers() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(QStringLiteral("3"));
        QTest::keyClick(&box, Qt::Key_Up);
        QTest::keyClick(&box, Qt::Key_Up);
        QTest::keyClick(&box, Qt::Key_Down);
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("5"));
        // A text without a number steps from the last position.
        box.setText(QStringLiteral("abc"));
        spin.Step(+1);
        QCOMPARE(box.text(), QStringLiteral("6"));
        // Other keys still edit the box.
        box.selectAll();
        QTest::keyClicks(&box, QStringLiteral("x9"));
        QCOMPARE(box.text(), QStringLiteral("x9"));
        // Disabled, it leaves the box alone.
        spin.setEnabled(false);
        spin.Step(+1);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("x9"));
        QVERIFY(spin.UpButton()->autoRepeat() && spin.DownButton()->autoRepeat());
    }

    void typingAndPastingStopAtTheLimitButProgramTextStays() {
        LimitedLineEdit edit(6);
        QTest::keyClicks(&edit, QStringLiteral("ABCDEFGH"));
        QCOMPARE(edit.text(), QStringLiteral("ABCDEF"));
        QTest::keyClick(&edit, Qt::Key_Backspace);  // room made can be filled again
        QTest::keyClicks(&edit, QStringLiteral("xyz"));
        QCOMPARE(edit.text(), QStringLiteral("ABCDEx"));

        edit.setText(QStringLiteral("abcd"));
        edit.setCursorPosition(2);
        QTest::keyClicks(&edit, QStringLiteral("123"));
        QCOMPARE(edit.text(), QStringLiteral("ab12cd"));
        QCOMPARE(edit.cursorPosition(), 4);

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
};

QTEST_MAIN(NumberBoxTest)
#include "number_box_test.moc"
