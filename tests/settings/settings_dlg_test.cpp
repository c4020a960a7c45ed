#include "settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "choose_dir.h"
#include "control_id.h"
#include "profile_store.h"
#include "settings_ids.h"
#include "test_support.h"
#include "up_down_control.h"

using namespace corvat;
using test::WhenModalOpens;

namespace {

const std::string kDuplicate = "Duplicate columns specified\nCorrect or disable";
const std::string kNoSymbol = "You did not enter a valid symbol";
const std::string kNoPath = "Please enter path";
const int kColumnBoxes[] = {kIdDateCol, kIdOpenCol, kIdHiCol, kIdLoCol,
                            kIdCloCol,  kIdVolCol,  kIdOICol};

SettingsValues Valid() {
    SettingsValues v;
    v.Path = "/tmp";
    v.Symbol = "IBM";
    v.Name = "IBM CORP";
    return v;
}

}  // namespace

class SettingsDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::RecordingSink> m_sink;
    std::unique_ptr<test::RecordingReceiver> m_receiver;
    std::unique_ptr<CSettingsDlg> m_dlg;

    template <class T = QLineEdit>
    T* Get(int id) {
        auto* control = FindControl<T>(m_dlg.get(), id);
        if (!control) qFatal("control %d missing", id);
        return control;
    }
    QString Text(int id) { return Get(id)->text(); }
    void SetText(int id, const QString& text) { Get(id)->setText(text); }
    void PressOk() { Get<QPushButton>(kIdOk)->click(); }
    std::string LastMessage() const {
        return m_sink->messages.empty() ? std::string() : m_sink->messages.back();
    }
    // A box and its up-down control are enabled together: "on", "off" or "mixed".
    QString State(int boxId) {
        const bool box = Get(boxId)->isEnabled();
        if (Get<UpDownControl>(boxId + 1)->isEnabled() != box) return "mixed";
        return box ? "on" : "off";
    }
    int FocusId() const {
        QWidget* focus = m_dlg->focusWidget();
        // The combo box's own edit field stands for the combo box.
        if (focus && !ControlId(focus) && focus->parentWidget()) focus = focus->parentWidget();
        return focus ? ControlId(focus) : 0;
    }
    void Open(const SettingsValues& values) {
        m_dlg->SetValues(values);
        m_dlg->show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }
    bool Accepted() const { return m_dlg->result() == QDialog::Accepted && !m_dlg->isVisible(); }

private slots:
    void init() {
        m_sink = std::make_unique<test::RecordingSink>();
        m_receiver = std::make_unique<test::RecordingReceiver>();
        m_dlg = std::make_unique<CSettingsDlg>(*m_sink, *m_receiver);
    }
    void cleanup() { m_dlg.reset(); }

    void firstStartShowsTheDefaultsWithOkFocused() {
        QTemporaryDir dir;
        Open(ProfileStore(dir.filePath("none.ini")).LoadSettings());
        QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Conversion Settings"));
        for (int i = 0; i < 7; ++i) QCOMPARE(Text(kColumnBoxes[i]), QString::number(i + 1));
        for (int id : {kIdOpenOn, kIdHiOn, kIdLoOn, kIdVolOn, kIdOIOn, kIdComma,
                       kIdUseExistingMaster}) {
            QVERIFY(Get<QAbstractButton>(id)->isChecked());
        }
        QVERIFY(!Get<QCheckBox>(kIdSkipOn)->isChecked());
        QCOMPARE(Text(kIdSkipRows), QStringLiteral("0"));
        QCOMPARE(State(kIdSkipRows), QStringLiteral("off"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentIndex(), 8);  // MMDDYY
        QVERIFY(Text(kIdPath).isEmpty() && Text(kIdSymbol).isEmpty() && Text(kIdName).isEmpty());

        QVERIFY(Get<QPushButton>(kIdOk)->isDefault());
        QCOMPARE(QApplication::focusWidget(), Get<QPushButton>(kIdOk));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(m_sink->messages.size() == 1);  // Enter runs the checks: no symbol yet
        QCOMPARE(LastMessage(), kNoSymbol);
    }

    void upDownRanges() {
        for (int id : kColumnBoxes) {
            auto* spin = Get<UpDownControl>(id + 1);
            QCOMPARE(std::pair(spin->Lower(), spin->Upper()), std::pair(1, 20));
            QCOMPARE(spin->Buddy(), Get(id));
        }
        auto* skip = Get<UpDownControl>(kIdSkipRowsSpin);
        QCOMPARE(std::pair(skip->Lower(), skip->Upper()), std::pair(0, 200));
    }

    void checkBoxesEnableTheirBoxAndRefillIt_data() {
        QTest::addColumn<int>("checkId");
        QTest::addColumn<QString>("clearedText");
        QTest::newRow("Open") << kIdOpenOn << "1";
        QTest::newRow("High") << kIdHiOn << "1";
        QTest::newRow("Low") << kIdLoOn << "1";
        QTest::newRow("Volume") << kIdVolOn << "1";
        QTest::newRow("Open Int") << kIdOIOn << "1";
        QTest::newRow("Skip Rows") << kIdSkipOn << "0";
    }
    void checkBoxesEnableTheirBoxAndRefillIt() {
        QFETCH(int, checkId);
        QFETCH(QString, clearedText);
        const int boxId = checkId == kIdSkipOn ? kIdSkipRows : checkId + 1;
        SettingsValues v = Valid();
        v.SkipOn = 1;
        v.SkipRows = 12;
        Open(v);
        QCOMPARE(State(boxId), QStringLiteral("on"));
        auto* check = Get<QCheckBox>(checkId);
        check->click();
        QVERIFY(!check->isChecked());
        QCOMPARE(State(boxId), QStringLiteral("off"));
        QCOMPARE(Text(boxId), clearedText);
        check->click();
        QCOMPARE(State(boxId), QStringLiteral("on"));
        QCOMPARE(Text(boxId), clearedText);
        QVERIFY(m_sink->messages.empty());
    }

    void checkBoxClickReadsTheValuesFirst() {
        Open(Valid());
        SetText(kIdHiCol, QStringLiteral("x"));
        Get<QCheckBox>(kIdOpenOn)->click();
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(LastMessage()).contains(QStringLiteral("1 and 20")));
        QCOMPARE(FocusId(), kIdHiCol);
        QCOMPARE(State(kIdOpenCol), QStringLiteral("off"));

        // Values are read only up to the failing box, so "SkipOn" is still the
        // old value and Skip Rows follows its check box all the same.
        SetText(kIdHiCol, QStringLiteral("3"));
        SetText(kIdDateCol, QStringLiteral("99"));
        Get<QCheckBox>(kIdSkipOn)->click();
        QCOMPARE(m_sink->messages.size(), std::size_t(2));
        QVERIFY(Get<QCheckBox>(kIdSkipOn)->isChecked());
        QCOMPARE(State(kIdSkipRows), QStringLiteral("on"));
    }

    void fieldChecksRunInReadingOrder() {
        SettingsValues v = Valid();
        v.SkipOn = 1;
        Open(v);
        const struct {
            int id;
            QString bad, good, named;
        } order[] = {
            {kIdDateCol, "0", "1", "between 1 and 20"},
            {kIdOpenCol, "abc", "2", "between 1 and 20"},
            {kIdHiCol, "21", "3", "between 1 and 20"},
            {kIdLoCol, "-4", "4", "between 1 and 20"},
            {kIdCloCol, "", "5", "between 1 and 20"},
            {kIdVolCol, "6.0", "6", "between 1 and 20"},
            {kIdOICol, "1e1", "7", "between 1 and 20"},
            {kIdName, QString(17, 'n'), "Name", "16 characters"},
            {kIdPath, QString(201, 'p'), "/tmp", "200 characters"},
            {kIdSymbol, QString(17, 's'), "SYM", "16 characters"},
            {kIdSkipRows, "201", "200", "between 0 and 200"},
        };
        for (const auto& step : order) SetText(step.id, step.bad);
        auto* combo = Get<QComboBox>(kIdDateFormat);
        combo->setEditText(QString(13, 'D'));
        for (const auto& step : order) {
            m_sink->Clear();
            PressOk();
            QCOMPARE(m_sink->messages.size(), std::size_t(1));
            QVERIFY2(QString::fromStdString(LastMessage()).contains(step.named),
                     LastMessage().c_str());
            QCOMPARE(FocusId(), step.id);
            SetText(step.id, step.good);
        }
        PressOk();
        QCOMPARE(LastMessage(), std::string("Enter no more than 12 characters."));
        QCOMPARE(FocusId(), kIdDateFormat);
        QVERIFY(m_receiver->numbers.empty());
        combo->setEditText("MMDDYY");
        PressOk();
        QVERIFY(Accepted());
        QCOMPARE(m_dlg->Values().SkipRows, 200);
    }

    void disabledBoxIsCheckedAllTheSame() {
        SettingsValues v = Valid();
        v.LoOn = 0;
        v.LoCol = 25;  // hand-edited profile: shown unchanged, refused on OK
        Open(v);
        QCOMPARE(Text(kIdLoCol), QStringLiteral("25"));
        PressOk();
        QCOMPARE(LastMessage(), std::string("Please enter an integer between 1 and 20."));
        QVERIFY(m_dlg->isVisible());
    }

    void numberTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");  // empty: accepted
        QTest::addColumn<QString>("shown");    // the box after OK
        const QString nan = "Please enter a whole number.\nIt must lie between 1 and 20.";
        const QString range = "Please enter an integer between 1 and 20.";
        QTest::newRow("blanks around") << "  20 " << "" << "20";
        QTest::newRow("leading zeros") << "007" << "" << "7";
        QTest::newRow("zero") << "0" << range << "0";
        QTest::newRow("one past") << "21" << range << "21";
        QTest::newRow("too many digits") << "123456789012345" << range << "123456789012345";
        QTest::newRow("negative") << "-1" << nan << "-1";
        QTest::newRow("blank inside") << "1 2" << nan << "1 2";
        QTest::newRow("empty") << "" << nan << "";
    }
    void numberTexts() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        Open(Valid());
        SetText(kIdOICol, text);  // 20 and 9 are free columns
        PressOk();
        QCOMPARE(QString::fromStdString(LastMessage()), message);
        QCOMPARE(Accepted(), message.isEmpty());
        QCOMPARE(Text(kIdOICol), shown);
    }

    void duplicateColumns_data() {
        QTest::addColumn<QString>("columns");  // Date Open High Low Close Vol OI, "-" = off
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("all distinct") << "1 2 3 4 5 6 7" << false;
        QTest::newRow("date and close") << "5 2 3 4 5 6 7" << true;
        QTest::newRow("open interest and volume") << "1 2 3 4 5 6 6" << true;
        QTest::newRow("cleared field is ignored") << "1 -1 3 4 5 6 7" << false;
        QTest::newRow("two cleared fields share") << "1 2 -9 -9 5 6 7" << false;
        QTest::newRow("only date and close, shared") << "4 -1 -1 -1 4 -1 -1" << true;
    }
    void duplicateColumns() {
        QFETCH(QString, columns);
        QFETCH(bool, duplicate);
        const QStringList parts = columns.split(' ');
        SettingsValues v = Valid();
        int* cols[] = {&v.DateCol, &v.OpenCol, &v.HiCol, &v.LoCol, &v.CloCol, &v.VolCol, &v.OICol};
        int* flags[] = {nullptr, &v.OpenOn, &v.HiOn, &v.LoOn, nullptr, &v.VolOn, &v.OIOn};
        for (int i = 0; i < 7; ++i) {
            *cols[i] = std::abs(parts[i].toInt());  // a cleared box keeps a stale number
            if (flags[i]) *flags[i] = parts[i].startsWith('-') ? 0 : 1;
        }
        Open(v);
        PressOk();
        QCOMPARE(m_sink->messages, duplicate ? std::vector{kDuplicate} : std::vector<std::string>{});
        QCOMPARE(Accepted(), !duplicate);
    }

    void laterProblemsWaitForEarlierOnes() {
        SettingsValues v = Valid();
        v.HiCol = v.DateCol;
        v.Symbol = "   ";
        v.Path = "";
        Open(v);
        PressOk();
        QCOMPARE(LastMessage(), kDuplicate);
        SetText(kIdHiCol, "3");
        PressOk();
        QCOMPARE(LastMessage(), kNoSymbol);
        SetText(kIdSymbol, "ibm");
        PressOk();
        QCOMPARE(m_sink->messages, (std::vector{kDuplicate, kNoSymbol, kNoPath}));
        QVERIFY(m_receiver->numbers.empty());
    }

    void symbolIsCleaned_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");  // empty: refused
        QTest::newRow("lower case, trailing blanks") << "ibm   " << "IBM";
        QTest::newRow("trailing tab") << "msft\t" << "MSFT";
        QTest::newRow("leading and inner blanks stay") << "  brk b " << "  BRK B";
        QTest::newRow("only blanks") << "    " << "";
        QTest::newRow("empty") << "" << "";
    }
    void symbolIsCleaned() {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Open(Valid());
        Get(kIdSymbol)->clear();
        QTest::keyClicks(Get(kIdSymbol), typed);
        PressOk();
        QCOMPARE(m_sink->messages,
                 result.isEmpty() ? std::vector{kNoSymbol} : std::vector<std::string>{});
        if (result.isEmpty()) return;
        QCOMPARE(Text(kIdSymbol), result);
        QCOMPARE(m_dlg->Values().Symbol, result);
    }

    void cleanedValuesStayWhenThePathIsMissing() {
        SettingsValues v = Valid();
        v.Path = "   ";
        v.Symbol = "spy  ";
        v.DateFormat = "dd_mm_c";
        Open(v);
        SetText(kIdHiCol, " 03");
        PressOk();
        QCOMPARE(m_sink->messages, std::vector{kNoPath});
        QCOMPARE(Text(kIdSymbol), QStringLiteral("SPY"));
        QCOMPARE(Text(kIdHiCol), QStringLiteral("3"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("DD_MM_CCYY"));
        QVERIFY(m_receiver->numbers.empty());

        // A path with trailing blanks is handed over as typed.
        SetText(kIdPath, "/data/Prices  ");
        PressOk();
        QCOMPARE(m_dlg->Values().Path, QStringLiteral("/data/Prices  "));
    }

    void dateFormatResolution_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("number");
        QTest::newRow("mm") << "mm" << "MM_DD_YY" << 3;
        QTest::newRow("mmdd") << "mmdd" << "MMDDYY" << 9;
        QTest::newRow("full entry") << "DDMMCCYY" << "DDMMCCYY" << 12;
        QTest::newRow("first entry") << "y" << "YY_MM_DD" << 1;
        QTest::newRow("no entry begins with it") << "QQ/MM" << "QQ/MM" << 0;
        QTest::newRow("twelve characters, no match") << "MMDDYYYYXXXX" << "MMDDYYYYXXXX" << 0;
    }
    void dateFormatResolution() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, number);
        Open(Valid());
        auto* combo = Get<QComboBox>(kIdDateFormat);
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), typed);
        PressOk();
        QVERIFY(m_sink->messages.empty());
        QCOMPARE(combo->currentText(), shown);
        QCOMPARE(combo->currentIndex(), number - 1);
        QCOMPARE(m_receiver->numbers, std::vector<int>{number});
        QCOMPARE(m_dlg->Values().DateFormat, shown);
    }

    void storedOverlongTextsShowInFullAndAreRefused_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("limit");
        QTest::newRow("Symbol") << kIdSymbol << 16;
        QTest::newRow("Name") << kIdName << 16;
        QTest::newRow("Path") << kIdPath << 200;
    }
    void storedOverlongTextsShowInFullAndAreRefused() {
        QFETCH(int, id);
        QFETCH(int, limit);
        SettingsValues v = Valid();
        const QString overlong(limit + 1, QLatin1Char('Q'));
        (id == kIdSymbol ? v.Symbol : id == kIdName ? v.Name : v.Path) = overlong;
        Open(v);
        QCOMPARE(Text(id), overlong);
        PressOk();
        QCOMPARE(LastMessage(),
                 QStringLiteral("Enter no more than %1 characters.").arg(limit).toStdString());
        QCOMPARE(FocusId(), id);
        // Typing stops at the limit.
        Get(id)->clear();
        QTest::keyClicks(Get(id), QString(limit + 5, QLatin1Char('a')));
        QCOMPARE(Text(id).size(), limit);
    }

    void valuesAfterOkAreWhatTheControlsShow() {
        SettingsValues v = Valid();
        v.Delimiter = 7;  // hand-edited: no button chosen
        Open(v);
        for (int id : {kIdComma, kIdTab, kIdSpace}) QVERIFY(!Get<QRadioButton>(id)->isChecked());
        PressOk();
        QCOMPARE(m_dlg->Values().Delimiter, -1);

        Open(Valid());
        Get<QRadioButton>(kIdTab)->click();
        Get<QRadioButton>(kIdMakeNewMaster)->click();
        Get<QCheckBox>(kIdSkipOn)->click();
        SetText(kIdSkipRows, "3");
        Get<QCheckBox>(kIdVolOn)->click();
        SetText(kIdName, "lower name ");
        PressOk();
        SettingsValues expected = Valid();
        expected.Delimiter = 1;
        expected.Exist = 1;
        expected.SkipOn = 1;
        expected.SkipRows = 3;
        expected.VolOn = 0;
        expected.VolCol = 1;
        expected.Name = "lower name ";  // the name is not checked or cleaned
        QVERIFY(m_dlg->Values() == expected);
        QCOMPARE(m_receiver->numbers, (std::vector<int>{9, 9}));
    }

    void cancelChangesNothing() {
        SettingsValues v = Valid();
        v.Symbol = "";
        Open(v);
        PressOk();
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        Get<QPushButton>(kIdCancel)->click();
        QCOMPARE(m_dlg->result(), int(QDialog::Rejected));

        v.DateCol = 0;  // Escape cancels without any check
        Open(v);
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
        QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        QVERIFY(m_receiver->numbers.empty());
    }

    void browseStartsInThePathBoxAndFillsIt() {
        QTemporaryDir root;
        const QString start = QDir(root.path()).canonicalPath();
        QDir(start).mkdir("sub");
        Open(Valid());
        SetText(kIdPath, start);
        QString seenStart;
        WhenModalOpens<CChooseDir>([&](CChooseDir* chooser) {
            seenStart = chooser->CurrentDirectory();
            FindControl<QLineEdit>(chooser, kIdDirectoryBox)->setText(start + "/sub");
            FindControl<QPushButton>(chooser, kIdOk)->click();
        });
        Get<QPushButton>(kIdBrowse)->click();
        QCOMPARE(seenStart, start);
        QCOMPARE(Text(kIdPath), start + "/sub");

        // Cancel leaves the box; Browse reads the values first, so a bad box is reported.
        SetText(kIdHiCol, "33");
        WhenModalOpens<CChooseDir>(
            [](CChooseDir* chooser) { FindControl<QPushButton>(chooser, kIdCancel)->click(); });
        Get<QPushButton>(kIdBrowse)->click();
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        QCOMPARE(Text(kIdPath), start + "/sub");
        QCOMPARE(Text(kIdHiCol), QStringLiteral("33"));
    }

    void overlongPathFromBrowseIsRefusedOnOk() {
        QTemporaryDir root;
        QString deep = QDir(root.path()).canonicalPath();
        while (deep.size() <= 200) {
            deep += "/" + QString(40, QLatin1Char('d'));
            QVERIFY(QDir().mkdir(deep));
        }
        Open(Valid());
        SetText(kIdPath, deep);
        WhenModalOpens<CChooseDir>(
            [](CChooseDir* chooser) { FindControl<QPushButton>(chooser, kIdOk)->click(); });
        Get<QPushButton>(kIdBrowse)->click();
        QCOMPARE(Text(kIdPath), deep);
        PressOk();
        QCOMPARE(LastMessage(), std::string("Enter no more than 200 characters."));
        QCOMPARE(FocusId(), kIdPath);
        QVERIFY(m_dlg->isVisible());
    }

    void f1AsksForHelp() {
        int calls = 0;
        m_dlg->SetHelpHandler([&] { ++calls; });
        Open(Valid());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(SettingsDlgTest)
#include "settings_dlg_test.moc"
