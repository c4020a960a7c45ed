#include "settings_dlg.h"

#include <QButtonGroup>
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
using test::RecordingReceiver;
using test::RecordingSink;
using test::WhenModalOpens;

namespace {

const std::string kDuplicate = "Duplicate columns specified\nCorrect or disable";
const std::string kNoSymbol = "You did not enter a valid symbol";
const std::string kNoPath = "Please enter path";

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
    std::unique_ptr<RecordingSink> m_sink;
    std::unique_ptr<RecordingReceiver> m_receiver;
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

private slots:
    void init() {
        m_sink = std::make_unique<RecordingSink>();
        m_receiver = std::make_unique<RecordingReceiver>();
        m_dlg = std::make_unique<CSettingsDlg>(*m_sink, *m_receiver);
    }
    void cleanup() { m_dlg.reset(); }

    void firstStartShowsTheDefaults() {
        QTemporaryDir dir;
        ProfileStore store(dir.filePath("none.ini"));
        Open(store.LoadSettings());
        QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Conversion Settings"));
        const int boxes[] = {kIdDateCol, kIdOpenCol, kIdHiCol, kIdLoCol,
                             kIdCloCol,  kIdVolCol,  kIdOICol};
        for (int i = 0; i < 7; ++i) QCOMPARE(Text(boxes[i]), QString::number(i + 1));
        for (int id : {kIdOpenOn, kIdHiOn, kIdLoOn, kIdVolOn, kIdOIOn}) {
            QVERIFY(Get<QCheckBox>(id)->isChecked());
        }
        QVERIFY(Get<QRadioButton>(kIdComma)->isChecked());
        QVERIFY(Get<QRadioButton>(kIdUseExistingMaster)->isChecked());
        QVERIFY(!Get<QCheckBox>(kIdSkipOn)->isChecked());
        QCOMPARE(Text(kIdSkipRows), QStringLiteral("0"));
        QVERIFY(!Get(kIdSkipRows)->isEnabled());
        QVERIFY(!Get<UpDownControl>(kIdSkipRowsSpin)->isEnabled());
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("MMDDYY"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentIndex(), 8);
        QVERIFY(Text(kIdPath).isEmpty() && Text(kIdSymbol).isEmpty() && Text(kIdName).isEmpty());
    }

    void newDialogShowsNothingChosen() {
        for (int id : {kIdComma, kIdTab, kIdSpace, kIdUseExistingMaster, kIdMakeNewMaster}) {
            QVERIFY(!Get<QRadioButton>(id)->isChecked());
        }
        QCOMPARE(Text(kIdDateCol), QStringLiteral("0"));
        QVERIFY(!Get<QCheckBox>(kIdOpenOn)->isChecked());
    }

    void opensWithOkFocusedSoEnterAccepts() {
        Open(Valid());
        QVERIFY(Get<QPushButton>(kIdOk)->isDefault());
        QCOMPARE(QApplication::focusWidget(), Get<QPushButton>(kIdOk));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_dlg->result(), int(QDialog::Accepted));
        QVERIFY(m_sink->messages.empty());
    }

    void fieldsAreEnabledByTheirFlagsOnOpening() {
        SettingsValues v = Valid();
        v.OpenOn = 0;
        v.VolOn = 0;
        v.SkipOn = 1;
        Open(v);
        const std::pair<int, bool> expected[] = {
            {kIdDateCol, true}, {kIdOpenCol, false}, {kIdHiCol, true}, {kIdLoCol, true},
            {kIdCloCol, true},  {kIdVolCol, false},  {kIdOICol, true}, {kIdSkipRows, true}};
        for (auto [id, enabled] : expected) {
            QCOMPARE(Get(id)->isEnabled(), enabled);
            QCOMPARE(Get<UpDownControl>(id + 1)->isEnabled(), enabled);
        }
    }

    void upDownRanges() {
        for (int id : {kIdDateColSpin, kIdOpenColSpin, kIdHiColSpin, kIdLoColSpin, kIdCloColSpin,
                       kIdVolColSpin, kIdOIColSpin}) {
            auto* spin = Get<UpDownControl>(id);
            QCOMPARE(spin->Lower(), 1);
            QCOMPARE(spin->Upper(), 20);
            QCOMPARE(spin->Buddy(), Get(id - 1));
        }
        QCOMPARE(Get<UpDownControl>(kIdSkipRowsSpin)->Lower(), 0);
        QCOMPARE(Get<UpDownControl>(kIdSkipRowsSpin)->Upper(), 200);
    }

    void checkBoxesToggleTheirBox_data() {
        QTest::addColumn<int>("checkId");
        QTest::addColumn<int>("boxId");
        QTest::addColumn<QString>("clearedText");
        QTest::newRow("Open") << kIdOpenOn << kIdOpenCol << "1";
        QTest::newRow("High") << kIdHiOn << kIdHiCol << "1";
        QTest::newRow("Low") << kIdLoOn << kIdLoCol << "1";
        QTest::newRow("Volume") << kIdVolOn << kIdVolCol << "1";
        QTest::newRow("Open Int") << kIdOIOn << kIdOICol << "1";
        QTest::newRow("Skip Rows") << kIdSkipOn << kIdSkipRows << "0";
    }
    void checkBoxesToggleTheirBox() {
        QFETCH(int, checkId);
        QFETCH(int, boxId);
        QFETCH(QString, clearedText);
        SettingsValues v = Valid();
        v.SkipOn = 1;
        v.SkipRows = 12;
        Open(v);
        auto* check = Get<QCheckBox>(checkId);
        check->click();
        QVERIFY(!check->isChecked());
        QVERIFY(!Get(boxId)->isEnabled());
        QVERIFY(!Get<UpDownControl>(boxId + 1)->isEnabled());
        QCOMPARE(Text(boxId), clearedText);
        check->click();
        QVERIFY(Get(boxId)->isEnabled());
        QVERIFY(Get<UpDownControl>(boxId + 1)->isEnabled());
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
        QVERIFY(!Get(kIdOpenCol)->isEnabled());
        QCOMPARE(Text(kIdOpenCol), QStringLiteral("1"));
    }

    void skipRowsFollowsItsCheckBoxEvenWhenAnEarlierBoxFails() {
        // The values are read up to the failing box only, so "SkipOn" is
        // still the old value when the click is handled.
        Open(Valid());
        SetText(kIdDateCol, QStringLiteral("99"));
        Get<QCheckBox>(kIdSkipOn)->click();
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        QVERIFY(Get<QCheckBox>(kIdSkipOn)->isChecked());
        QVERIFY(Get(kIdSkipRows)->isEnabled());
        QVERIFY(Get<UpDownControl>(kIdSkipRowsSpin)->isEnabled());
    }

    void fieldChecksRunInReadingOrder() {
        SettingsValues v = Valid();
        v.SkipOn = 1;
        Open(v);
        const struct {
            int id;
            QString bad;
            QString good;
            QString named;
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
            {kIdSkipRows, "201", "0", "between 0 and 200"},
        };
        for (const auto& step : order) SetText(step.id, step.bad);
        Get<QComboBox>(kIdDateFormat)->setEditText(QString(13, 'D'));
        for (const auto& step : order) {
            m_sink->Clear();
            PressOk();
            QCOMPARE(m_sink->messages.size(), std::size_t(1));
            QVERIFY2(QString::fromStdString(LastMessage()).contains(step.named),
                     LastMessage().c_str());
            QCOMPARE(FocusId(), step.id);
            SetText(step.id, step.good);
        }
        m_sink->Clear();
        PressOk();
        QCOMPARE(LastMessage(), std::string("Enter no more than 12 characters."));
        QCOMPARE(FocusId(), kIdDateFormat);
        QVERIFY(m_dlg->isVisible());
        QVERIFY(m_receiver->numbers.empty());
    }

    void disabledBoxIsCheckedAllTheSame() {
        SettingsValues v = Valid();
        v.LoOn = 0;
        v.LoCol = 25;  // hand-edited profile
        Open(v);
        QCOMPARE(Text(kIdLoCol), QStringLiteral("25"));
        QVERIFY(!Get(kIdLoCol)->isEnabled());
        PressOk();
        QCOMPARE(LastMessage(), std::string("Please enter an integer between 1 and 20."));
        QVERIFY(m_dlg->isVisible());
        // Ticking the field enables the box so the number can be put right.
        Get<QCheckBox>(kIdLoOn)->click();
        QVERIFY(Get(kIdLoCol)->isEnabled());
        SetText(kIdLoCol, "9");
        PressOk();
        QCOMPARE(m_dlg->result(), int(QDialog::Accepted));
    }

    void numberTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");  // empty: accepted
        QTest::addColumn<QString>("shown");    // the box after OK
        const QString notNumber = "Please enter a whole number.\nIt must lie between 1 and 20.";
        const QString range = "Please enter an integer between 1 and 20.";
        QTest::newRow("plain") << "20"
                               << ""
                               << "20";
        QTest::newRow("blanks around") << "  9 "
                                       << ""
                                       << "9";
        QTest::newRow("leading zeros") << "007"
                                       << ""
                                       << "7";
        QTest::newRow("zero") << "0" << range << "0";
        QTest::newRow("one past") << "21" << range << "21";
        QTest::newRow("too many digits") << "123456789012345" << range << "123456789012345";
        QTest::newRow("negative") << "-1" << notNumber << "-1";
        QTest::newRow("plus sign") << "+3" << notNumber << "+3";
        QTest::newRow("empty") << "" << notNumber << "";
        QTest::newRow("blank inside") << "1 2" << notNumber << "1 2";
        QTest::newRow("decimal") << "2.5" << notNumber << "2.5";
    }
    void numberTexts() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        SettingsValues v = Valid();
        v.DateCol = 19;
        v.CloCol = 18;
        Open(v);
        SetText(kIdOICol, text);
        PressOk();
        if (message.isEmpty()) {
            QVERIFY(m_sink->messages.empty());
            QCOMPARE(m_dlg->result(), int(QDialog::Accepted));
        } else {
            QCOMPARE(QString::fromStdString(LastMessage()), message);
            QVERIFY(m_dlg->isVisible());
        }
        QCOMPARE(Text(kIdOICol), shown);
    }

    void skipRowsRange() {
        SettingsValues v = Valid();
        v.SkipOn = 1;
        v.SkipRows = 200;
        Open(v);
        PressOk();
        QVERIFY(m_sink->messages.empty());
        QCOMPARE(m_dlg->Values().SkipRows, 200);
    }

    void duplicateColumns_data() {
        QTest::addColumn<QString>("columns");  // Date Open High Low Close Vol OI, "-" = off
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("all distinct") << "1 2 3 4 5 6 7" << false;
        QTest::newRow("date and close") << "5 2 3 4 5 6 7" << true;
        QTest::newRow("open interest and volume") << "1 2 3 4 5 6 6" << true;
        QTest::newRow("cleared field is ignored") << "1 -1 3 4 5 6 7" << false;
        QTest::newRow("two cleared fields share") << "1 2 -9 -9 5 6 7" << false;
        QTest::newRow("cleared holds another's column") << "1 2 3 4 5 -2 7" << false;
        QTest::newRow("only date and close, shared") << "4 -1 -1 -1 4 -1 -1" << true;
        QTest::newRow("three share") << "1 1 1 4 5 6 7" << true;
    }
    void duplicateColumns() {
        QFETCH(QString, columns);
        QFETCH(bool, duplicate);
        const QStringList parts = columns.split(' ');
        SettingsValues v = Valid();
        int* cols[] = {&v.DateCol, &v.OpenCol, &v.HiCol, &v.LoCol, &v.CloCol, &v.VolCol, &v.OICol};
        int* flags[] = {nullptr, &v.OpenOn, &v.HiOn, &v.LoOn, nullptr, &v.VolOn, &v.OIOn};
        for (int i = 0; i < 7; ++i) {
            *cols[i] = std::abs(parts[i].toInt());
            if (flags[i]) *flags[i] = parts[i].startsWith('-') ? 0 : 1;
        }
        Open(v);
        // A cleared field's box is refilled by its check box; put the shared
        // number back as a stale profile value would leave it.
        for (int i = 0; i < 7; ++i) {
            if (parts[i].startsWith('-')) {
                const int ids[] = {kIdDateCol, kIdOpenCol, kIdHiCol, kIdLoCol,
                                   kIdCloCol,  kIdVolCol,  kIdOICol};
                QVERIFY(!Get(ids[i])->isEnabled());
                QCOMPARE(Text(ids[i]), QString::number(*cols[i]));
            }
        }
        PressOk();
        if (duplicate) {
            QCOMPARE(m_sink->messages, std::vector<std::string>{kDuplicate});
            QVERIFY(m_dlg->isVisible());
        } else {
            QVERIFY(m_sink->messages.empty());
        }
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
        QCOMPARE(LastMessage(), kNoPath);
        QCOMPARE(m_sink->messages.size(), std::size_t(3));
        QVERIFY(m_receiver->numbers.empty());
    }

    void symbolIsCleaned_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");  // empty: refused
        QTest::newRow("lower case, trailing blanks") << "ibm   "
                                                     << "IBM";
        QTest::newRow("trailing tab") << "msft\t"
                                      << "MSFT";
        QTest::newRow("leading blanks stay") << "  aapl"
                                             << "  AAPL";
        QTest::newRow("inner blank stays") << "brk b "
                                           << "BRK B";
        QTest::newRow("only blanks") << "    "
                                     << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void symbolIsCleaned() {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Open(Valid());
        Get(kIdSymbol)->clear();
        QTest::keyClicks(Get(kIdSymbol), typed);
        PressOk();
        if (result.isEmpty()) {
            QCOMPARE(m_sink->messages, std::vector<std::string>{kNoSymbol});
            QVERIFY(m_dlg->isVisible());
            return;
        }
        QVERIFY(m_sink->messages.empty());
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
        QCOMPARE(m_sink->messages, std::vector<std::string>{kNoPath});
        QCOMPARE(Text(kIdSymbol), QStringLiteral("SPY"));
        QCOMPARE(Text(kIdHiCol), QStringLiteral("3"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("DD_MM_CCYY"));
        QVERIFY(m_receiver->numbers.empty());
    }

    void pathIsHandedOverAsTyped() {
        SettingsValues v = Valid();
        v.Path = "/data/Prices  ";
        Open(v);
        PressOk();
        QVERIFY(m_sink->messages.empty());
        QCOMPARE(m_dlg->Values().Path, QStringLiteral("/data/Prices  "));
    }

    void dateFormatResolution_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("number");
        QTest::newRow("mm") << "mm"
                            << "MM_DD_YY" << 3;
        QTest::newRow("mmdd") << "mmdd"
                              << "MMDDYY" << 9;
        QTest::newRow("full entry") << "DDMMCCYY"
                                    << "DDMMCCYY" << 12;
        QTest::newRow("first entry") << "y"
                                     << "YY_MM_DD" << 1;
        QTest::newRow("ccyym") << "ccyym"
                               << "CCYYMMDD" << 8;
        QTest::newRow("no entry begins with it") << "QQ/MM"
                                                 << "QQ/MM" << 0;
        QTest::newRow("twelve characters, no match") << "MMDDYYYYXXXX"
                                                     << "MMDDYYYYXXXX" << 0;
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

    void pickedEntryGivesItsNumber() {
        Open(Valid());
        auto* combo = Get<QComboBox>(kIdDateFormat);
        combo->setCurrentIndex(3);
        PressOk();
        QCOMPARE(m_receiver->numbers, std::vector<int>{4});
        QCOMPARE(m_dlg->Values().DateFormat, QStringLiteral("MM_DD_CCYY"));
    }

    void storedDateFormatsOnOpening() {
        SettingsValues v = Valid();
        v.DateFormat = "MMDDYY";
        Open(v);
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentIndex(), 8);
        v.DateFormat = "DD_MM_CCYY_LONG";
        m_dlg->SetValues(v);
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentIndex(), -1);
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), v.DateFormat);
        PressOk();
        QCOMPARE(LastMessage(), std::string("Enter no more than 12 characters."));
        QCOMPARE(FocusId(), kIdDateFormat);
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
        if (id == kIdSymbol) v.Symbol = overlong;
        if (id == kIdName) v.Name = overlong;
        if (id == kIdPath) v.Path = overlong;
        Open(v);
        QCOMPARE(Text(id), overlong);
        PressOk();
        QCOMPARE(LastMessage(),
                 QStringLiteral("Enter no more than %1 characters.").arg(limit).toStdString());
        QCOMPARE(FocusId(), id);

        // Typing is refused at the limit: the box cannot grow past it.
        Get(id)->clear();
        QTest::keyClicks(Get(id), QString(limit + 5, QLatin1Char('a')));
        QCOMPARE(Text(id).size(), limit);
    }

    void radioGroupsReadTheirPosition() {
        SettingsValues v = Valid();
        v.Delimiter = 7;  // hand-edited: no button chosen
        v.Exist = 1;
        Open(v);
        for (int id : {kIdComma, kIdTab, kIdSpace}) QVERIFY(!Get<QRadioButton>(id)->isChecked());
        QVERIFY(Get<QRadioButton>(kIdMakeNewMaster)->isChecked());
        PressOk();
        QCOMPARE(m_dlg->Values().Delimiter, -1);
        QCOMPARE(m_dlg->Values().Exist, 1);
    }

    void valuesAfterOkAreWhatTheControlsShow() {
        Open(Valid());
        Get<QRadioButton>(kIdTab)->click();
        Get<QRadioButton>(kIdMakeNewMaster)->click();
        Get<QCheckBox>(kIdSkipOn)->click();
        SetText(kIdSkipRows, "3");
        Get<QCheckBox>(kIdVolOn)->click();
        SetText(kIdName, "lower name ");
        PressOk();
        const SettingsValues r = m_dlg->Values();
        QCOMPARE(r.Delimiter, 1);
        QCOMPARE(r.Exist, 1);
        QCOMPARE(r.SkipOn, 1);
        QCOMPARE(r.SkipRows, 3);
        QCOMPARE(r.VolOn, 0);
        QCOMPARE(r.VolCol, 1);
        QCOMPARE(r.Name, QStringLiteral("lower name "));  // the name is not checked or cleaned
        QCOMPARE(r.DateFormat, QStringLiteral("MMDDYY"));
        QCOMPARE(m_receiver->numbers, std::vector<int>{9});
    }

    void cancelAfterAFailedOkChangesNothing() {
        SettingsValues v = Valid();
        v.Symbol = "";
        Open(v);
        PressOk();
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        Get<QPushButton>(kIdCancel)->click();
        QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        QVERIFY(m_receiver->numbers.empty());
    }

    void escapeCancelsWithoutChecks() {
        SettingsValues v = Valid();
        v.DateCol = 0;
        Open(v);
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
        QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
        QVERIFY(m_sink->messages.empty());
    }

    void browseStartsInThePathBoxAndFillsIt() {
        QTemporaryDir root;
        const QString start = QDir(root.path()).canonicalPath();
        QDir(start).mkdir("sub");
        SettingsValues v = Valid();
        v.Path = "/elsewhere";
        Open(v);
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
        PressOk();
        QCOMPARE(m_dlg->Values().Path, start + "/sub");
    }

    void cancelledBrowseLeavesThePath() {
        Open(Valid());
        SetText(kIdPath, "typed but not saved");
        SetText(kIdHiCol, "33");
        WhenModalOpens<CChooseDir>(
            [](CChooseDir* chooser) { FindControl<QPushButton>(chooser, kIdCancel)->click(); });
        Get<QPushButton>(kIdBrowse)->click();
        // Browse reads the values first, so the bad box is reported.
        QCOMPARE(m_sink->messages.size(), std::size_t(1));
        QCOMPARE(Text(kIdPath), QStringLiteral("typed but not saved"));
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
