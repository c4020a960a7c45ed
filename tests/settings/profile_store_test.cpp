#include "profile_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace corvat;

namespace {

// A store that notes the order in which keys are read and written.
class TracingStore : public ProfileStore {
public:
    using ProfileStore::ProfileStore;
    int GetProfileInt(const std::string& s, const std::string& k, int d) override {
        reads.push_back(k);
        return ProfileStore::GetProfileInt(s, k, d);
    }
    std::string GetProfileString(const std::string& s, const std::string& k,
                                 const std::string& d) override {
        reads.push_back(k);
        return ProfileStore::GetProfileString(s, k, d);
    }
    void WriteProfileInt(const std::string& s, const std::string& k, int v) override {
        writes.push_back(k);
        ProfileStore::WriteProfileInt(s, k, v);
    }
    void WriteProfileString(const std::string& s, const std::string& k,
                            const std::string& v) override {
        writes.push_back(k);
        ProfileStore::WriteProfileString(s, k, v);
    }
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};

QString ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

}  // namespace

class ProfileStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_ini = m_dir.filePath(QStringLiteral("Corvat-%1.ini").arg(m_count++));
    }

    void firstStartGivesTheDefaultsAndCreatesNothing() {
        ProfileStore store(m_ini);
        const SettingsValues v = store.LoadSettings();
        QCOMPARE(v.DateFormat, QStringLiteral("MMDDYY"));
        QCOMPARE(v.Exist, 0);
        QCOMPARE(v.Delimiter, 0);
        QVERIFY(v.Path.isEmpty() && v.Symbol.isEmpty() && v.Name.isEmpty());
        QCOMPARE(v.SkipOn, 0);
        QCOMPARE(v.SkipRows, 0);
        const int columns[] = {v.DateCol, v.OpenCol, v.HiCol, v.LoCol, v.CloCol, v.VolCol, v.OICol};
        for (int i = 0; i < 7; ++i) QCOMPARE(columns[i], i + 1);
        QVERIFY(v.OpenOn && v.HiOn && v.LoOn && v.VolOn && v.OIOn);
        QVERIFY(store.RecentFiles().isEmpty());
        QVERIFY(!QFile::exists(m_ini));
    }

    void missingSectionOrKeyGivesTheDefault() {
        WriteFile(m_ini, "[Other]\nDateCol=9\n[Setting]\nHiCol=12\n");
        ProfileStore store(m_ini);
        const SettingsValues v = store.LoadSettings();
        QCOMPARE(v.DateCol, 1);
        QCOMPARE(v.HiCol, 12);
        QCOMPARE(store.GetProfileString("Nowhere", "Key", "fallback"), std::string("fallback"));
    }

    void loadsAndSavesInTheirOwnOrders() {
        TracingStore store(m_ini);
        store.LoadSettings();
        const std::vector<std::string> loadOrder = {
            "DateFormat", "Exist",   "Delimiter", "Path",    "Symbol", "Name",  "SkipOn",
            "SkipRows",   "DateCol", "OpenOn",    "OpenCol", "HiOn",   "HiCol", "LoOn",
            "LoCol",      "CloCol",  "VolOn",     "VolCol",  "OIOn",   "OICol"};
        QCOMPARE(store.reads, loadOrder);

        store.SaveSettings(SettingsValues{});
        const std::vector<std::string> saveOrder = {
            "DateFormat", "Delimiter", "Exist",  "SkipOn", "SkipRows", "DateCol",
            "OpenOn",     "OpenCol",   "HiOn",   "HiCol",  "LoOn",     "LoCol",
            "CloCol",     "VolOn",     "VolCol", "OIOn",   "OICol"};
        QCOMPARE(store.writes, saveOrder);
    }

    void saveLeavesTheJobsThreeValuesAlone() {
        ProfileStore store(m_ini);
        store.WriteProfileString(kSettingSection, "Path", "/Data/Old");
        store.WriteProfileString(kSettingSection, "Symbol", "OLD");
        store.WriteProfileString(kSettingSection, "Name", "Old name");

        SettingsValues v;
        v.Path = "/new";
        v.Symbol = "NEW";
        v.Name = "New name";
        v.DateFormat = "DDMMCCYY";
        v.Exist = 1;
        v.Delimiter = 2;
        v.SkipOn = 1;
        v.SkipRows = 200;
        v.DateCol = 20;
        v.OpenOn = 0;
        v.OICol = 19;
        store.SaveSettings(v);

        const SettingsValues back = ProfileStore(m_ini).LoadSettings();
        QCOMPARE(back.Path, QStringLiteral("/Data/Old"));
        QCOMPARE(back.Symbol, QStringLiteral("OLD"));
        QCOMPARE(back.Name, QStringLiteral("Old name"));
        SettingsValues expected = v;
        expected.Path = back.Path;
        expected.Symbol = back.Symbol;
        expected.Name = back.Name;
        QVERIFY(back == expected);

        QSettings raw(m_ini, QSettings::IniFormat);
        raw.beginGroup(QStringLiteral("Setting"));
        QCOMPARE(raw.childKeys().size(), 20);
    }

    void everyWriteReachesTheFileAtOnce() {
        ProfileStore writer(m_ini);
        ProfileStore reader(m_ini);
        QCOMPARE(reader.GetProfileInt(kSettingSection, "SkipRows", -1), -1);
        writer.WriteProfileInt(kSettingSection, "SkipRows", 42);
        QVERIFY(ReadFile(m_ini).contains(QStringLiteral("SkipRows=42")));
        QVERIFY(ReadFile(m_ini).contains(QStringLiteral("[Setting]")));
        QCOMPARE(reader.GetProfileInt(kSettingSection, "SkipRows", -1), 42);

        // An outside edit of the file is seen by the next read.
        WriteFile(m_ini, "[Setting]\nSkipRows=7\n");
        QCOMPARE(reader.GetProfileInt(kSettingSection, "SkipRows", -1), 7);
    }

    void handEditedNumbers_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("out of range is loaded unchanged") << QByteArray("25") << 25;
        QTest::newRow("zero is loaded unchanged") << QByteArray("0") << 0;
        QTest::newRow("negative") << QByteArray("-3") << -3;
        QTest::newRow("blanks around") << QByteArray(" 12 ") << 12;
        QTest::newRow("letters read as default") << QByteArray("abc") << 4;
        QTest::newRow("trailing junk reads as default") << QByteArray("5x") << 4;
        QTest::newRow("empty reads as default") << QByteArray("") << 4;
        QTest::newRow("too big for an int reads as default") << QByteArray("99999999999") << 4;
    }
    void handEditedNumbers() {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        WriteFile(m_ini, "[Setting]\nLoCol=" + stored + "\n");
        QCOMPARE(ProfileStore(m_ini).LoadSettings().LoCol, expected);
    }

    void textsSurviveTheRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("absolute path keeps its letter case")
            << QStringLiteral("/Home/Ann/MetaData");
        QTest::newRow("blanks at both ends") << QStringLiteral("  padded  ");
        QTest::newRow("comma, semicolon, equals") << QStringLiteral("a,b;c=d");
        QTest::newRow("quotes and backslash") << QStringLiteral("say \"hi\" \\ there");
        QTest::newRow("percent and brackets") << QStringLiteral("100% [x] #1");
        QTest::newRow("non-ASCII") << QStringLiteral("Zürich Öl");
        QTest::newRow("200 characters") << QString(200, QLatin1Char('p'));
    }
    void textsSurviveTheRoundTrip() {
        QFETCH(QString, text);
        ProfileStore(m_ini).WriteProfileString(kSettingSection, "Path", text.toStdString());
        QCOMPARE(QString::fromStdString(
                     ProfileStore(m_ini).GetProfileString(kSettingSection, "Path", "default")),
                 text);
    }

    void handEditedTextWithCommasReadsWhole() {
        WriteFile(m_ini, "[Setting]\nName=ACME,Inc\nPath=/data\n");
        const SettingsValues v = ProfileStore(m_ini).LoadSettings();
        QCOMPARE(v.Name, QStringLiteral("ACME,Inc"));
        QCOMPARE(v.Path, QStringLiteral("/data"));
    }

    void recentFilesKeepFourInTheirOwnSection() {
        ProfileStore store(m_ini);
        store.SetRecentFiles({"/a.csv", "", "/b.csv", "/c.csv", "/d.csv", "/e.csv"});
        QCOMPARE(store.RecentFiles(), QStringList({"/a.csv", "/b.csv", "/c.csv", "/d.csv"}));
        const QString text = ReadFile(m_ini);
        QVERIFY(text.contains(QStringLiteral("File1=/a.csv")));
        QVERIFY(text.contains(QStringLiteral("File4=/d.csv")));
        QVERIFY(text.contains(QStringLiteral("Recent")));

        // A shorter list drops the stale entries.
        store.SetRecentFiles({"/z.csv"});
        QCOMPARE(ProfileStore(m_ini).RecentFiles(), QStringList({"/z.csv"}));

        // The settings section is untouched by the list and vice versa.
        store.SaveSettings(SettingsValues{});
        QCOMPARE(store.RecentFiles(), QStringList({"/z.csv"}));
    }

    void defaultLocationIsNamedAfterTheProgram() {
        const QString file = ProfileStore().FileName();
        QVERIFY2(file.endsWith(QStringLiteral("Corvat/Corvat.ini")), qPrintable(file));
    }

private:
    QTemporaryDir m_dir;
    QString m_ini;
    int m_count = 0;
};

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "profile_store_test.moc"
