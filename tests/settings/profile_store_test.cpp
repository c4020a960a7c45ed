#include "profile_store.h"

#include "settings_test_support.h"

using namespace corvat;

namespace {

// A store that notes, one a word, the keys it reads and writes, in order.
class TracingStore : public ProfileStore {
public:
    using ProfileStore::ProfileStore;
    using Key = const std::string&;
    int GetProfileInt(Key s, Key k, int d) override {
        return reads += k + ' ', ProfileStore::GetProfileInt(s, k, d);
    }
    std::string GetProfileString(Key s, Key k, Key d) override {
        return reads += k + ' ', ProfileStore::GetProfileString(s, k, d);
    }
    void WriteProfileInt(Key s, Key k, int v) override {
        writes += k + ' ', ProfileStore::WriteProfileInt(s, k, v);
    }
    void WriteProfileString(Key s, Key k, Key v) override {
        writes += k + ' ', ProfileStore::WriteProfileString(s, k, v);
    }
    std::string reads, writes;
};

QString ReadFile(const QString& path) {
    return QString::fromStdString(test::ReadFileBytes(path.toStdString()));
}
void WriteFile(const QString& path, const std::string& content) {
    test::WriteFileBytes(path.toStdString(), content);
}

}  // namespace

class ProfileStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_ini = m_dir.filePath(QStringLiteral("Corvat-%1.ini").arg(m_count++)); }

    void missingFileSectionOrKeyGivesTheDefaults() {
        ProfileStore store(m_ini);
        QVERIFY(store.LoadSettings() == SettingsValues{});
        QVERIFY(store.RecentFiles().isEmpty());
        QVERIFY(!QFile::exists(m_ini));  // reading creates nothing
        QVERIFY2(ProfileStore().FileName().endsWith(QStringLiteral("Corvat/Corvat.ini")),
                 qPrintable(ProfileStore().FileName()));

        WriteFile(m_ini, "[Other]\nDateCol=9\n[Setting]\nHiCol=12\n");
        const SettingsValues v = store.LoadSettings();
        QCOMPARE(v.DateCol, 1);
        QCOMPARE(v.HiCol, 12);
    }

    void loadsAndSavesInTheirOrdersNumberStyleLast() {
        TracingStore store(m_ini);
        store.LoadSettings();
        QCOMPARE(store.reads,
                 "DateFormat Exist Delimiter Path Symbol Name SkipOn SkipRows DateCol OpenOn "
                 "OpenCol HiOn HiCol LoOn LoCol CloCol VolOn VolCol OIOn OICol Decimal Thousands "
                 "Suffixes ");
        store.SaveSettings(SettingsValues{});
        QCOMPARE(store.writes,
                 "DateFormat Delimiter Exist SkipOn SkipRows DateCol OpenOn OpenCol HiOn HiCol "
                 "LoOn LoCol CloCol VolOn VolCol OIOn OICol Decimal Thousands Suffixes ");
    }

    void saveLeavesTheJobsThreeValuesAlone() {
        ProfileStore store(m_ini);
        for (const char* key : {"Path", "Symbol", "Name"})
            store.WriteProfileString(kSettingSection, key, "old");
        SettingsValues v;
        v.DateFormat = "DDMMCCYY";
        v.Exist = v.Decimal = v.Suffixes = 1;
        v.SkipRows = 200;
        v.OICol = 19;
        v.Delimiter = v.Thousands = 3;  // semicolon; apostrophe
        SettingsValues expected = v;
        expected.Path = expected.Symbol = expected.Name = "old";
        v.Path = v.Symbol = v.Name = "new";
        store.SaveSettings(v);
        QVERIFY(ProfileStore(m_ini).LoadSettings() == expected);
        QSettings raw(m_ini, QSettings::IniFormat);
        raw.beginGroup(QStringLiteral("Setting"));
        QCOMPARE(raw.childKeys().size(), 23);
    }

    void everyWriteReachesTheFileAtOnce() {
        ProfileStore writer(m_ini);
        ProfileStore reader(m_ini);
        QCOMPARE(reader.GetProfileInt(kSettingSection, "SkipRows", -1), -1);
        writer.WriteProfileInt(kSettingSection, "SkipRows", 42);
        QVERIFY(ReadFile(m_ini).contains(QStringLiteral("[Setting]\nSkipRows=42")));
        QCOMPARE(reader.GetProfileInt(kSettingSection, "SkipRows", -1), 42);
        WriteFile(m_ini, "[Setting]\nSkipRows=7\n");  // an outside edit is seen at once
        QCOMPARE(reader.GetProfileInt(kSettingSection, "SkipRows", -1), 7);
    }

    void handEditedNumbers_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("out of range is loaded unchanged") << QByteArray("25") << 25;
        QTest::newRow("blanks around") << QByteArray(" 12 ") << 12;
        QTest::newRow("letters read as default") << QByteArray("abc") << 4;
        QTest::newRow("trailing junk reads as default") << QByteArray("5x") << 4;
        QTest::newRow("too big for an int reads as default") << QByteArray("99999999999") << 4;
    }
    void handEditedNumbers() {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        WriteFile(m_ini, "[Setting]\nLoCol=" + stored.toStdString() + "\nName=ACME,Inc\n");
        const SettingsValues v = ProfileStore(m_ini).LoadSettings();
        QCOMPARE(v.LoCol, expected);
        QCOMPARE(v.Name, QStringLiteral("ACME,Inc"));  // not read as a list
    }

    void textsSurviveTheRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("path keeps its letter case") << QStringLiteral("/Home/Ann/MetaData");
        QTest::newRow("blanks at both ends") << QStringLiteral("  padded  ");
        QTest::newRow("INI punctuation") << QStringLiteral("a,b;c=d \"q\" \\ 100% [x] #1");
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

    void recentFilesKeepFourInTheirOwnSection() {
        ProfileStore store(m_ini);
        store.SetRecentFiles({"/a.csv", "", "/b.csv", "/c.csv", "/d.csv", "/e.csv"});
        QCOMPARE(store.RecentFiles(), QStringList({"/a.csv", "/b.csv", "/c.csv", "/d.csv"}));
        QVERIFY(ReadFile(m_ini).contains("File1=/a.csv\nFile2=/b.csv\nFile3=/c.csv\nFile4=/d.csv"));
        store.SetRecentFiles({"/z.csv"});  // a shorter list drops the stale entries
        store.SaveSettings(SettingsValues{});
        QCOMPARE(ProfileStore(m_ini).RecentFiles(), QStringList({"/z.csv"}));
    }

private:
    QTemporaryDir m_dir;
    QString m_ini;
    int m_count = 0;
};

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "profile_store_test.moc"
