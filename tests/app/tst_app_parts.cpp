// The desktop program's parts that need no window: where the window goes,
// what the preview reads, the recent-file list, how a job is filled and the
// string table.
#include <QBuffer>
#include <QtTest>

#include "app_ids.h"
#include "app_strings.h"
#include "converter.h"
#include "converter_setup.h"
#include "message_sink.h"
#include "preview_reader.h"
#include "profile.h"
#include "recent_file_list.h"
#include "window_placement.h"

using namespace corvat;

namespace {

QStringList Preview(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    return ReadPreviewLines(buffer);
}

class NullSink : public MessageSink {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
};

class NullProfile : public Profile {
public:
    int GetProfileInt(const std::string&, const std::string&, int d) override { return d; }
    std::string GetProfileString(const std::string&, const std::string&,
                                 const std::string& d) override {
        return d;
    }
    void WriteProfileInt(const std::string&, const std::string&, int) override {}
    void WriteProfileString(const std::string&, const std::string&, const std::string&) override {}
};

}  // namespace

class AppPartsTest : public QObject {
    Q_OBJECT

private slots:
    void placesTheWindowOnTheKnownScreens_data();
    void placesTheWindowOnTheKnownScreens();
    void placementIsEightyFivePercentRoundedDownCentred();

    void previewShowsShortFilesWhole();
    void previewStopsAfterTenLines();
    void previewCutsLongLinesIntoPieces();
    void previewDoesNotInventBlankLineAfterFullLengthLine();
    void previewKeepsLastLineWithoutNewlineAndCrLfEnds();

    void recentFilesAreNewestFirstWithoutRepeats();
    void recentFilesDropBlanksAndOverflowWhenLoaded();
    void recentFileMenuTextsNumberShortenAndEscape();

    void fillsJobFromDialogValues();
    void fillsJobFromOddProfileValues();

    void stringTableHoldsTheProgramRows();
};

void AppPartsTest::placesTheWindowOnTheKnownScreens_data() {
    QTest::addColumn<int>("screenW");
    QTest::addColumn<int>("screenH");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1024x768") << 1024 << 768 << QRect(77, 58, 870, 652);
    QTest::newRow("800x600") << 800 << 600 << QRect(60, 45, 680, 510);
    QTest::newRow("640x480") << 640 << 480 << QRect(48, 36, 544, 408);
    QTest::newRow("1920x1080") << 1920 << 1080 << QRect(144, 81, 1632, 918);
}

void AppPartsTest::placesTheWindowOnTheKnownScreens() {
    QFETCH(int, screenW);
    QFETCH(int, screenH);
    QFETCH(QRect, expected);
    const WindowPlacement p = MainWindowPlacement(screenW, screenH);
    QCOMPARE(QRect(p.x, p.y, p.width, p.height), expected);
}

void AppPartsTest::placementIsEightyFivePercentRoundedDownCentred() {
    // Binary floating point must never land one pixel below W * 85 / 100.
    for (int side = 0; side <= 5000; ++side) {
        const WindowPlacement p = MainWindowPlacement(side, side);
        if (p.width != side * 85 / 100 || p.x != (side - side * 85 / 100) / 2) {
            QFAIL(qPrintable(
                QStringLiteral("side %1 gives width %2 at %3").arg(side).arg(p.width).arg(p.x)));
        }
    }
}

void AppPartsTest::previewShowsShortFilesWhole() {
    QCOMPARE(Preview(""), QStringList());
    QCOMPARE(Preview("a\nb\nc\n"), (QStringList{"a", "b", "c"}));
    QCOMPARE(Preview("\n\nx\n"), (QStringList{"", "", "x"}));  // blank lines are lines
}

void AppPartsTest::previewStopsAfterTenLines() {
    QByteArray fifty;
    for (int i = 1; i <= 50; ++i) {
        fifty += "line " + QByteArray::number(i) + "\n";
    }
    const QStringList lines = Preview(fifty);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.front(), QStringLiteral("line 1"));
    QCOMPARE(lines.back(), QStringLiteral("line 10"));
}

void AppPartsTest::previewCutsLongLinesIntoPieces() {
    QByteArray bytes = QByteArray(400, 'x') + "\n";
    for (int i = 1; i <= 12; ++i) {
        bytes += "row " + QByteArray::number(i) + "\n";
    }
    const QStringList lines = Preview(bytes);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[0], QString(299, u'x'));
    QCOMPARE(lines[1], QString(101, u'x'));
    QCOMPARE(lines[2], QStringLiteral("row 1"));
    QCOMPARE(lines[9], QStringLiteral("row 8"));  // only eight further lines

    // A line of 700 characters is three pieces.
    const QStringList three = Preview(QByteArray(700, 'y'));
    QCOMPARE(three.size(), 3);
    QCOMPARE(three[2].size(), 700 - 2 * 299);
}

void AppPartsTest::previewDoesNotInventBlankLineAfterFullLengthLine() {
    const QStringList lines = Preview(QByteArray(299, 'z') + "\nnext\n");
    QCOMPARE(lines, (QStringList{QString(299, u'z'), QStringLiteral("next")}));
    // An empty line that really follows it stays.
    const QStringList withBlank = Preview(QByteArray(299, 'z') + "\n\nnext\n");
    QCOMPARE(withBlank, (QStringList{QString(299, u'z'), QString(), QStringLiteral("next")}));
    // Exactly 598 characters: two full pieces, nothing after.
    QCOMPARE(Preview(QByteArray(598, 'w') + "\n").size(), 2);
}

void AppPartsTest::previewKeepsLastLineWithoutNewlineAndCrLfEnds() {
    QCOMPARE(Preview("first\nlast"), (QStringList{"first", "last"}));
    QCOMPARE(Preview("a,1\r\nb,2\r\n"), (QStringList{"a,1", "b,2"}));
    QCOMPARE(Preview("\t01/02/2026 1 2\n"), QStringList{"\t01/02/2026 1 2"});
}

void AppPartsTest::recentFilesAreNewestFirstWithoutRepeats() {
    RecentFileList list;
    for (const char* file : {"/d/a.csv", "/d/b.csv", "/d/c.csv", "/d/d.csv", "/d/e.csv"}) {
        list.Add(QString::fromLatin1(file));
    }
    QCOMPARE(list.Files(), (QStringList{"/d/e.csv", "/d/d.csv", "/d/c.csv", "/d/b.csv"}));

    list.Add(QStringLiteral("/d/./c.csv"));  // the same file, spelled otherwise
    QCOMPARE(list.Files(), (QStringList{"/d/./c.csv", "/d/e.csv", "/d/d.csv", "/d/b.csv"}));

    list.Remove(QStringLiteral("/d/e.csv"));
    QCOMPARE(list.Files(), (QStringList{"/d/./c.csv", "/d/d.csv", "/d/b.csv"}));
    list.Remove(QStringLiteral("/d/unknown.csv"));
    QCOMPARE(list.Size(), 3);
    QCOMPARE(list.At(7), QString());
}

void AppPartsTest::recentFilesDropBlanksAndOverflowWhenLoaded() {
    RecentFileList list;
    list.Assign({"/a", "", "  ", "/b", "/a", "/c", "/d", "/e"});
    QCOMPARE(list.Files(), (QStringList{"/a", "/b", "/c", "/d"}));
}

void AppPartsTest::recentFileMenuTextsNumberShortenAndEscape() {
    RecentFileList list;
    list.Add(QStringLiteral("/data/Smith & Sons.csv"));
    QCOMPARE(list.MenuText(0), QStringLiteral("&1 /data/Smith && Sons.csv"));

    const QString deep = QStringLiteral("/") + QString(80, u'p') + QStringLiteral("/ibm.csv");
    list.Add(deep);
    const QString text = list.MenuText(0);
    QVERIFY(text.startsWith(QStringLiteral("&1 /ppp")));
    QVERIFY(text.endsWith(QStringLiteral(".../ibm.csv")));
    QVERIFY(text.size() < deep.size());
    QVERIFY(list.MenuText(1).startsWith(QStringLiteral("&2 ")));
}

void AppPartsTest::fillsJobFromDialogValues() {
    NullSink sink;
    NullProfile profile;
    CConverter job(sink, profile);
    SettingsValues v;
    v.Exist = 0;
    v.Delimiter = 1;
    v.Path = QStringLiteral("/tmp/out dir ");
    v.Symbol = QStringLiteral("IBM");
    v.Name = QStringLiteral("IBM CORP");
    v.SkipOn = 1;
    v.SkipRows = 3;
    v.DateCol = 20;
    v.OpenOn = 0;
    v.OpenCol = 1;
    v.HiOn = 1;
    v.HiCol = 2;
    v.LoOn = 0;
    v.CloCol = 3;
    v.VolOn = 1;
    v.VolCol = 4;
    v.OIOn = 0;
    v.OICol = 5;
    FillConverter(job, v, QStringLiteral("/in/prices.csv"), 9);

    QCOMPARE(job.m_strInputPath, std::string("/in/prices.csv"));
    QCOMPARE(job.m_bUseExisting, 1);
    QCOMPARE(job.m_bFieldOn, (std::array<int, kFieldSlots>{1, 0, 1, 0, 1, 1, 0}));
    QCOMPARE(job.m_nColumn[kDateField], 19);
    QCOMPARE(job.m_nColumn[kOpenField], 0);
    QCOMPARE(job.m_nColumn[kCloseField], 2);
    QCOMPARE(job.m_nColumn[kOpenInterestField], 4);
    QCOMPARE(job.m_szPath, std::string("/tmp/out dir "));  // blanks stay
    QCOMPARE(job.m_szSymbol, std::string("IBM"));
    QCOMPARE(job.m_szName, std::string("IBM CORP"));
    QCOMPARE(job.m_szDelimiter, std::string("\t"));
    QCOMPARE(job.m_nDateFormat, 9);
    QCOMPARE(job.m_bSkipOn, 1);
    QCOMPARE(job.m_nSkipRows, 3);
}

void AppPartsTest::fillsJobFromOddProfileValues() {
    NullSink sink;
    NullProfile profile;
    const std::pair<int, std::string> delimiters[] = {
        {0, ","}, {1, "\t"}, {2, " "}, {3, ","}, {-1, ","}};
    for (const auto& [index, text] : delimiters) {
        CConverter job(sink, profile);
        SettingsValues v;
        v.Delimiter = index;
        FillConverter(job, v, QString(), 0);
        QCOMPARE(job.m_szDelimiter, text);
    }
    for (int exist : {1, 2, -1}) {
        CConverter job(sink, profile);
        SettingsValues v;
        v.Exist = exist;
        FillConverter(job, v, QString(), 0);
        QCOMPARE(job.m_bUseExisting, 0);  // anything but 0 makes a new master
    }
    // Date and close are on even when every optional field is off.
    CConverter job(sink, profile);
    SettingsValues v;
    v.OpenOn = v.HiOn = v.LoOn = v.VolOn = v.OIOn = 0;
    FillConverter(job, v, QString(), 0);
    QCOMPARE(job.m_bFieldOn, (std::array<int, kFieldSlots>{1, 0, 0, 0, 1, 0, 0}));
    QCOMPARE(job.m_nDateFormat, 0);
}

void AppPartsTest::stringTableHoldsTheProgramRows() {
    QCOMPARE(QString::fromLatin1(AppString(IDR_MAINFRAME)),
             QStringLiteral("Corvat\n\nCorvat\n\n\nCorvat.Document\nCorvat Document"));
    QCOMPARE(QString::fromLatin1(AppString(ID_SETTINGS)),
             QStringLiteral("File conversion settings\nSettings"));
    QCOMPARE(QString::fromLatin1(AppString(ID_CLEAR_WINDOW)),
             QStringLiteral("Clear Window\nClear Window"));
    QCOMPARE(QString::fromLatin1(AppString(AFX_IDS_APP_TITLE)), QStringLiteral("Corvat"));
    QCOMPARE(QString::fromLatin1(AppString(AFX_IDS_IDLEMESSAGE)),
             QStringLiteral("For Help, press F1"));
    QCOMPARE(QString::fromLatin1(AppString(AFX_IDS_HELPMODEMESSAGE)),
             QStringLiteral("Select an object on which to get Help"));
    QCOMPARE(QString::fromLatin1(AppString(ID_FILE_OPEN)),
             QStringLiteral("Open an existing document\nOpen"));
    QCOMPARE(QString::fromLatin1(AppString(ID_APP_EXIT)),
             QStringLiteral("Quit the application; prompts to save documents\nExit"));
    QCOMPARE(QString::fromLatin1(AppString(ID_HELP_FINDER)),
             QStringLiteral("List Help topics\nHelp Topics"));
    QCOMPARE(QString::fromLatin1(AppString(ID_APP_ABOUT)).section(u'\n', 1),
             QStringLiteral("About"));
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_LAST; ++id) {
        QCOMPARE(QString::fromLatin1(AppString(id)), QStringLiteral("Open this document"));
    }
    // The next id is a command of its own.
    QCOMPARE(QString::fromLatin1(AppString(ID_FILE_MRU_LAST + 1)),
             QStringLiteral("Erase the selection\nErase"));
    QCOMPARE(AppString(0), nullptr);
    QCOMPARE(AppString(12345), nullptr);
}

QTEST_GUILESS_MAIN(AppPartsTest)
#include "tst_app_parts.moc"
