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
    void stepsByOneAndStopsAtTheEnds() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(QStringLiteral("19"));
        QTest::mouseClick(spin.UpButton(), Qt::LeftButton);
        QCOMPARE(box.text(), QStringLiteral("20"));
        QTest::mouseClick(spin.UpButton(), Qt::LeftButton);
        QCOMPARE(box.text(), QStringLiteral("20"));  // no wrap-around
        box.setText(QStringLiteral("2"));
        QTest::mouseClick(spin.DownButton(), Qt::LeftButton);
        QTest::mouseClick(spin.DownButton(), Qt::LeftButton);
        QCOMPARE(box.text(), QStringLiteral("1"));
    }

    void skipRowsRangeReachesTwoHundredInPlainDigits() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(0, 200);
        box.setText(QStringLiteral("0"));
        QTest::mouseClick(spin.DownButton(), Qt::LeftButton);
        QCOMPARE(box.text(), QStringLiteral("0"));
        box.setText(QStringLiteral("199"));
        for (int i = 0; i < 3; ++i) spin.Step(+1);
        QCOMPARE(box.text(), QStringLiteral("200"));
    }

    void outOfRangeTextMovesToTheNearestEnd_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("expected");
        QTest::newRow("25 up") << "25" << +1 << "20";
        QTest::newRow("25 down") << "25" << -1 << "20";
        QTest::newRow("0 up") << "0" << +1 << "1";
        QTest::newRow("0 down") << "0" << -1 << "1";
        QTest::newRow("blanks around") << " 7 " << +1 << "8";
        QTest::newRow("leading zeros") << "007" << -1 << "6";
        QTest::newRow("huge number") << "99999999999999" << -1 << "20";
    }
    void outOfRangeTextMovesToTheNearestEnd() {
        QFETCH(QString, text);
        QFETCH(int, delta);
        QFETCH(QString, expected);
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(text);
        spin.Step(delta);
        QCOMPARE(box.text(), expected);
    }

    void textWithoutANumberStepsFromTheLastPosition() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(QStringLiteral("5"));
        spin.Step(+1);
        box.setText(QStringLiteral("abc"));
        spin.Step(+1);
        QCOMPARE(box.text(), QStringLiteral("7"));
    }

    void arrowKeysInTheBoxStep() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(QStringLiteral("3"));
        QTest::keyClick(&box, Qt::Key_Up);
        QTest::keyClick(&box, Qt::Key_Up);
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(box.text(), QStringLiteral("4"));
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("5"));
        // Other keys still edit the box.
        box.selectAll();
        QTest::keyClicks(&box, QStringLiteral("x9"));
        QCOMPARE(box.text(), QStringLiteral("x9"));
    }

    void disabledControlLeavesTheBoxAlone() {
        QLineEdit box;
        UpDownControl spin(&box);
        spin.SetRange(1, 20);
        box.setText(QStringLiteral("3"));
        spin.setEnabled(false);
        spin.Step(+1);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("3"));
        QVERIFY(spin.UpButton()->autoRepeat() && spin.DownButton()->autoRepeat());
    }

    void typingStopsAtTheLimit() {
        LimitedLineEdit edit(16);
        QTest::keyClicks(&edit, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
        QCOMPARE(edit.text(), QStringLiteral("ABCDEFGHIJKLMNOP"));
        // Room made by deleting can be filled again.
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, QStringLiteral("xyz"));
        QCOMPARE(edit.text(), QStringLiteral("ABCDEFGHIJKLMNOx"));
    }

    void insertionInTheMiddleIsCutToFit() {
        LimitedLineEdit edit(6);
        edit.setText(QStringLiteral("abcd"));
        edit.setCursorPosition(2);
        QTest::keyClicks(&edit, QStringLiteral("123"));
        QCOMPARE(edit.text(), QStringLiteral("ab12cd"));
        QCOMPARE(edit.cursorPosition(), 4);

        // A paste that does not fit keeps only its head.
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        edit.setText(QStringLiteral("abcd"));
        edit.setCursorPosition(1);
        edit.paste();
        QCOMPARE(edit.text(), QStringLiteral("aXYbcd"));
    }

    void longerProgramTextIsKeptButCannotGrow() {
        LimitedLineEdit edit(16);
        const QString stored = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
        edit.setText(stored);
        QCOMPARE(edit.text(), stored);
        edit.end(false);
        QTest::keyClicks(&edit, QStringLiteral("Z"));
        QCOMPARE(edit.text(), stored);
        // Shortening is always allowed, even while still over the limit.
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), stored.left(19));
    }
};

QTEST_MAIN(NumberBoxTest)
#include "number_box_test.moc"
