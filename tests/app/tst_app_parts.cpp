// The desktop program's parts that need no window: where the window goes,
// what the preview reads, the recent-file list and how a job is filled.
#include "converter.h"
#include "converter_setup.h"
#include "preview_reader.h"
#include "profile.h"
#include "recent_file_list.h"
#include "settings_test_support.h"
#include "window_placement.h"

using namespace corvat;

class AppPartsTest : public QObject {
    Q_OBJECT

private slots:
    // 85 % of each side, rounded down, centred: binary floating point must
    // never land one pixel below W * 85 / 100.
    void placementIsEightyFivePercentRoundedDownCentred() {
        for (int w = 0; w <= 5000; ++w) {
            const int h = w * 3 / 4 + 1, width = w * 85 / 100, height = h * 85 / 100;
            const WindowPlacement p = MainWindowPlacement(w, h);
            if (QRect(p.x, p.y, p.width, p.height) !=
                QRect((w - width) / 2, (h - height) / 2, width, height))
                QFAIL(qPrintable(QStringLiteral("%1x%2").arg(w).arg(h)));
        }
    }

    // The desktop test shows ten lines and a long one through the log.
    void previewReadsTenLinesInPiecesOf299_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QString x299(299, u'x');
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("blank lines are lines") << QByteArray("\n\nx\n") << QStringList{"", "", "x"};
        QTest::newRow("tab kept, no final newline")
            << QByteArray("a,1\r\n\tb,2\r\nlast") << QStringList{"a,1", "\tb,2", "last"};
        QTest::newRow("700 characters are three pieces")
            << QByteArray(700, 'x') << QStringList{x299, x299, QString(102, u'x')};
        QTest::newRow("no blank piece after a full-length line")
            << QByteArray(299, 'x') + "\nnext\n"
            << QStringList{x299, "next"};
        QTest::newRow("a real blank line after it stays") << QByteArray(299, 'x') + "\n\nnext\n"
                                                          << QStringList{x299, "", "next"};
        QTest::newRow("ten lines, pieces counted")
            << QByteArray(598, 'x') + "\n" + QByteArray(9, '\n')
            << QStringList{x299, x299} + QStringList(8, "");
    }
    void previewReadsTenLinesInPiecesOf299() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly | QIODevice::Text);
        QCOMPARE(ReadPreviewLines(buffer), expected);
    }

    void recentFilesAreNewestFirstWithoutRepeatsAndShownShort() {
        RecentFileList list;
        for (const char* file : {"/d/a.csv", "/d/b.csv", "/d/c.csv", "/d/d.csv", "/d/e.csv"}) {
            list.Add(QString::fromLatin1(file));
        }
        QCOMPARE(list.Files(), (QStringList{"/d/e.csv", "/d/d.csv", "/d/c.csv", "/d/b.csv"}));
        list.Add(QStringLiteral("/d/./c.csv"));  // the same file, spelled otherwise
        list.Remove(QStringLiteral("/d/e.csv"));
        list.Remove(QStringLiteral("/d/unknown.csv"));
        QCOMPARE(list.Files(), (QStringList{"/d/./c.csv", "/d/d.csv", "/d/b.csv"}));
        QCOMPARE(list.At(7), QString());

        list.Assign({"/a", "", "  ", "/b", "/a", "/c", "/d", "/e"});
        QCOMPARE(list.Files(), (QStringList{"/a", "/b", "/c", "/d"}));

        // Menu texts are numbered, escape "&" and shorten a long path.
        const QString deep = QStringLiteral("/") + QString(80, u'p') + QStringLiteral("/ibm.csv");
        list.Assign({QStringLiteral("/data/Smith & Sons.csv"), deep});
        QCOMPARE(list.MenuText(0), QStringLiteral("&1 /data/Smith && Sons.csv"));
        const QString text = list.MenuText(1);
        QVERIFY(text.startsWith("&2 /ppp") && text.endsWith(".../ibm.csv") &&
                text.size() < deep.size());
    }

    void fillsJobFromDialogAndProfileValues() {
        test::RecordingSink sink;
        corvat::NullProfile profile;
        CConverter job(sink, profile, RealFileSystem());
        SettingsValues v;
        v.Delimiter = v.SkipOn = v.Decimal = v.Suffixes = 1;
        v.Thousands = 2;
        v.Path = QStringLiteral("/tmp/out dir ");
        v.Symbol = QStringLiteral("IBM");
        v.Name = QStringLiteral("IBM CORP");
        v.SkipRows = 3;
        v.DateCol = 20;
        v.OpenOn = v.LoOn = v.OIOn = 0;
        v.CloCol = 3;
        v.OICol = 5;
        FillConverter(job, v, QStringLiteral("/in/prices.csv"), 9);
        QCOMPARE(job.m_strInputPath + "|" + job.m_szPath + "|" + job.m_szSymbol + "|" +
                     job.m_szName + "|" + job.m_szDelimiter,
                 std::string("/in/prices.csv|/tmp/out dir |IBM|IBM CORP|\t"));  // blanks stay
        QCOMPARE(job.m_bFieldOn, (std::array<int, kFieldSlots>{1, 0, 1, 0, 1, 1, 0}));
        QCOMPARE(job.m_nColumn, (std::array<int, kFieldSlots>{19, 1, 2, 3, 2, 5, 4}));
        QCOMPARE(std::tuple(job.m_bUseExisting, job.m_nDateFormat, job.m_bSkipOn, job.m_nSkipRows),
                 std::tuple(1, 9, 1, 3));  // Exist 0: use the existing master
        QVERIFY(job.m_numberStyle ==
                (NumberStyle{DecimalMark::kComma, ThousandsSeparator::kDot, true}));

        // Odd profile values: an unknown delimiter is a comma; date and close
        // are on even when every optional field is off.
        for (const auto& [index, text] :
             {std::pair(0, ","), {2, " "}, {3, ";"}, {4, ","}, {-1, ","}}) {
            CConverter other(sink, profile, RealFileSystem());
            SettingsValues odd;
            odd.Delimiter = odd.Exist = index;  // anything but 0 makes a new master
            odd.OpenOn = odd.HiOn = odd.LoOn = odd.VolOn = odd.OIOn = 0;
            FillConverter(other, odd, QString(), 0);
            QCOMPARE(other.m_szDelimiter, std::string(text));
            QCOMPARE(other.m_bUseExisting, index == 0 ? 1 : 0);
            QCOMPARE(other.m_bFieldOn, (std::array<int, kFieldSlots>{1, 0, 0, 0, 1, 0, 0}));
        }
    }
};

QTEST_GUILESS_MAIN(AppPartsTest)
#include "tst_app_parts.moc"
