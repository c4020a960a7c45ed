#include "settings_dlg.h"

#include "choose_dir.h"
#include "control_id.h"
#include "dialog_arrangement.h"
#include "profile_store.h"
#include "settings_ids.h"
#include "settings_test_support.h"
#include "up_down_control.h"

using namespace corvat;
using test::WhenModalOpens;

namespace {

const std::string kDuplicate = "Duplicate columns specified\nCorrect or disable";
const std::string kNoSymbol = "You did not enter a valid symbol";
const std::string kNoPath = "Please enter path";
const QString kRange = "Please enter an integer between 1 and 20.";
const QString kNan = "Please enter a whole number.\nIt must lie between 1 and 20.";
const int kColumnBoxes[] = {kIdDateCol, kIdOpenCol, kIdHiCol, kIdLoCol,
                            kIdCloCol,  kIdVolCol,  kIdOICol};

// A download as Yahoo gives it: Adj Close stands between Close and Volume.
const char kYahoo[] =
    "Date,Open,High,Low,Close,Adj Close,Volume\n"
    "2024-01-02,187.15,188.44,183.89,185.64,185.4,82488700\n"
    "2024-01-03,184.22,185.88,183.43,184.25,184.01,58414500\n";
// A German spreadsheet export: semicolons, decimal commas, dotted thousands.
const char kEuropean[] =
    "Datum;Er\xC3\xB6"
    "ffnung;Hoch;Tief;Schluss;Volumen\r\n"
    "15.01.2024;1.187,15;1.188,44;1.183,89;1.185,64;82.488.700\r\n"
    "16.01.2024;1.184,22;1.185,88;1.183,43;1.184,25;58.414.500\r\n";

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
        return FindControl<T>(m_dlg.get(), id);
    }
    QString Text(int id) { return Get(id)->text(); }
    void SetText(int id, const QString& text) { Get(id)->setText(text); }
    void PressOk() { Get<QPushButton>(kIdOk)->click(); }
    std::string LastMessage() const {
        return m_sink->messages.empty() ? "" : m_sink->messages.back();
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
    QString FirstRow() { return Get<QLabel>(kIdFirstRow)->text(); }
    QString Columns() {
        QStringList texts;
        for (int id : kColumnBoxes) texts << Text(id);
        return texts.join(' ');
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
        for (int i = 0; i < 7; ++i) {
            auto* spin = Get<UpDownControl>(kColumnBoxes[i] + 1);
            QCOMPARE(std::tuple(Text(kColumnBoxes[i]), spin->Lower(), spin->Upper(), spin->Buddy()),
                     std::tuple(QString::number(i + 1), 1, 20, Get(kColumnBoxes[i])));
        }
        for (int id :
             {kIdOpenOn, kIdHiOn, kIdLoOn, kIdVolOn, kIdOIOn, kIdComma, kIdUseExistingMaster})
            QVERIFY(Get<QAbstractButton>(id)->isChecked());
        QCOMPARE(State(kIdSkipRows) + Text(kIdSkipRows), QStringLiteral("off0"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("MMDDYY"));
        QCOMPARE(Text(kIdPath) + Text(kIdSymbol) + Text(kIdName), QString());
        QCOMPARE(Get<UpDownControl>(kIdSkipRowsSpin)->Upper(), 200);
        QCOMPARE(QApplication::focusWidget(), Get<QPushButton>(kIdOk));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // OK is the default
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);  // Escape cancels without any check
        QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
        QCOMPARE(m_sink->messages, std::vector{kNoSymbol});
    }

    void checkBoxesEnableTheirBoxAndRefillItAfterReadingTheValues() {
        SettingsValues v = Valid();
        v.SkipOn = 1;
        v.SkipRows = 12;
        Open(v);
        const std::tuple<int, int, QString> boxes[] = {
            {kIdOpenOn, kIdOpenCol, "1"}, {kIdHiOn, kIdHiCol, "1"}, {kIdLoOn, kIdLoCol, "1"},
            {kIdVolOn, kIdVolCol, "1"},   {kIdOIOn, kIdOICol, "1"}, {kIdSkipOn, kIdSkipRows, "0"}};
        for (const auto& [checkId, boxId, cleared] : boxes) {
            QCOMPARE(State(boxId), QStringLiteral("on"));
            Get<QCheckBox>(checkId)->click();
            QCOMPARE(State(boxId) + Text(boxId), "off" + cleared);
            Get<QCheckBox>(checkId)->click();
            QCOMPARE(State(boxId) + Text(boxId), "on" + cleared);
        }
        QVERIFY(m_sink->messages.empty());

        // A click reads the values first.
        SetText(kIdHiCol, QStringLiteral("x"));
        Get<QCheckBox>(kIdOpenOn)->click();
        QCOMPARE(m_sink->messages, std::vector{kNan.toStdString()});
        QCOMPARE(FocusId(), kIdHiCol);
        QCOMPARE(State(kIdOpenCol), QStringLiteral("off"));

        // Values are read only up to the failing box, so "SkipOn" is still the
        // old value and Skip Rows follows its check box all the same.
        SetText(kIdHiCol, QStringLiteral("3"));
        SetText(kIdDateCol, QStringLiteral("99"));
        Get<QCheckBox>(kIdSkipOn)->click();
        QVERIFY(!Get<QCheckBox>(kIdSkipOn)->isChecked());
        QCOMPARE(State(kIdSkipRows), QStringLiteral("off"));
    }

    void fieldChecksRunInReadingOrder() {
        SettingsValues v = Valid();
        v.SkipOn = 1;
        v.LoOn = 0;  // a cleared box is checked all the same
        Open(v);
        const struct {
            int id;
            QString bad, good, message;
        } order[] = {
            {kIdDateCol, "0", "  1 ", kRange},
            {kIdOpenCol, "-1", "002", kNan},
            {kIdHiCol, "21", "3", kRange},
            {kIdLoCol, "25", "4", kRange},
            {kIdCloCol, "", "5", kNan},
            {kIdVolCol, "1 2", "6", kNan},
            {kIdOICol, "123456789012345", "7", kRange},
            {kIdName, QString(17, 'n'), "Name", "Enter no more than 16 characters."},
            {kIdPath, QString(201, 'p'), "/tmp", "Enter no more than 200 characters."},
            {kIdSymbol, QString(15, 's'), "SYM", "Enter no more than 14 characters."},
            {kIdSkipRows, "201", "200", "Please enter an integer between 0 and 200."},
        };
        for (const auto& step : order) SetText(step.id, step.bad);
        auto* combo = Get<QComboBox>(kIdDateFormat);
        combo->setEditText(QString(13, 'D'));
        for (const auto& step : order) {
            m_sink->Clear();
            PressOk();
            QCOMPARE(m_sink->messages, std::vector{step.message.toStdString()});
            if (Get(step.id)->isEnabled()) QCOMPARE(FocusId(), step.id);
            QCOMPARE(Text(step.id), step.bad);  // a refused text stays as typed
            SetText(step.id, step.good);
        }
        PressOk();
        QCOMPARE(LastMessage(), std::string("Enter no more than 12 characters."));
        QCOMPARE(FocusId(), kIdDateFormat);
        QVERIFY(m_receiver->numbers.empty());
        combo->setEditText("MMDDYY");
        PressOk();
        QVERIFY(Accepted());
        QCOMPARE(Text(kIdDateCol) + Text(kIdOpenCol), QStringLiteral("12"));  // accepted, tidied
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
        QCOMPARE(m_sink->messages,
                 duplicate ? std::vector{kDuplicate} : std::vector<std::string>{});
        QCOMPARE(Accepted(), !duplicate);
    }

    void laterProblemsWaitForEarlierOnesAndCleanedValuesStay() {
        SettingsValues v = Valid();
        v.HiCol = v.DateCol;
        v.Symbol = "   ";
        v.Path = "   ";
        v.DateFormat = "dd_mm_c";
        Open(v);
        PressOk();
        SetText(kIdHiCol, " 03");
        PressOk();
        SetText(kIdSymbol, "spy  ");
        PressOk();
        QCOMPARE(m_sink->messages, (std::vector{kDuplicate, kNoSymbol, kNoPath}));
        QCOMPARE(Text(kIdSymbol) + Text(kIdHiCol), QStringLiteral("SPY3"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("DD_MM_CCYY"));
        QVERIFY(m_receiver->numbers.empty());
        SetText(kIdPath, "/data/Prices  ");  // handed over as typed
        PressOk();
        QCOMPARE(m_dlg->Values().Path, QStringLiteral("/data/Prices  "));
    }

    // What is typed into the symbol or date format box, what OK leaves there
    // and the date format number handed on (0: a format of the user's own).
    void typedTextIsCleaned_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("typedAndShown");
        QTest::addColumn<int>("number");
        QTest::newRow("symbol: lower, blanks after")
            << kIdSymbol << QStringList{"ibm   ", "IBM"} << 9;
        QTest::newRow("symbol: trailing tab") << kIdSymbol << QStringList{"msft\t", "MSFT"} << 9;
        QTest::newRow("symbol: blanks before stay")
            << kIdSymbol << QStringList{"  brk b ", "  BRK B"} << 9;
        QTest::newRow("date: mm") << kIdDateFormat << QStringList{"mm", "MM_DD_YY"} << 3;
        QTest::newRow("date: mmdd") << kIdDateFormat << QStringList{"mmdd", "MMDDYY"} << 9;
        QTest::newRow("date: full entry") << kIdDateFormat << QStringList(2, "DDMMCCYY") << 12;
        QTest::newRow("date: first entry") << kIdDateFormat << QStringList{"y", "YY_MM_DD"} << 1;
        QTest::newRow("date: no match") << kIdDateFormat << QStringList(2, "QQ/MM") << 0;
        QTest::newRow("date: 12, no match") << kIdDateFormat << QStringList(2, "MMDDYYYYXXXX") << 0;
    }
    void typedTextIsCleaned() {
        QFETCH(int, id);
        QFETCH(QStringList, typedAndShown);
        QFETCH(int, number);
        Open(Valid());
        auto* combo = Get<QComboBox>(kIdDateFormat);
        QLineEdit* box = id == kIdSymbol ? Get(kIdSymbol) : combo->lineEdit();
        box->clear();
        QTest::keyClicks(box, typedAndShown[0]);
        PressOk();
        QVERIFY(m_sink->messages.empty());
        QCOMPARE(box->text(), typedAndShown[1]);
        QCOMPARE(std::pair(m_receiver->numbers, combo->currentIndex()),
                 std::pair(std::vector<int>{number}, number - 1));
    }

    void valuesAfterOkAreWhatTheControlsShow() {
        SettingsValues v = Valid();
        v.Delimiter = 7;  // hand-edited: no button chosen
        Open(v);
        PressOk();
        QCOMPARE(m_dlg->Values().Delimiter, -1);
        Open(Valid());
        for (int id : {kIdTab, kIdMakeNewMaster, kIdSkipOn, kIdVolOn})
            Get<QAbstractButton>(id)->click();
        SetText(kIdSkipRows, "3");
        SetText(kIdName, "lower name ");
        PressOk();
        SettingsValues expected = Valid();
        expected.Delimiter = expected.Exist = expected.SkipOn = 1;
        expected.SkipRows = 3;
        expected.VolOn = 0;
        expected.VolCol = 1;
        expected.Name = "lower name ";  // the name is not checked or cleaned
        QVERIFY(m_dlg->Values() == expected);
        QCOMPARE(m_receiver->numbers, (std::vector<int>{9, 9}));
    }

    void detectFillsTheLayoutAndTheFirstRowFollowsTheSettings() {
        SettingsValues v = Valid();  // read the file, but Adj Close as volume
        v.SkipOn = v.SkipRows = 1;
        v.DateFormat = "CCYY_MM_DD";
        Open(v);
        m_dlg->SetInput(kYahoo);
        QCOMPARE(FirstRow(),
                 "First row: 2024-01-02 O 187.15 H 188.44 L 183.89 C 185.64 V 185.4 "
                 "OI 82488704");
        Get<QPushButton>(kIdDetect)->click();
        QCOMPARE(Columns(), QStringLiteral("1 2 3 4 5 7 1"));
        QCOMPARE(State(kIdOICol) + State(kIdSkipRows) + Text(kIdSkipRows), "offon1");
        QVERIFY(Get<QRadioButton>(kIdComma)->isChecked() && !Get<QCheckBox>(kIdOIOn)->isChecked());
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("CCYY_MM_DD"));
        QCOMPARE(FirstRow(),
                 "First row: 2024-01-02 O 187.15 H 188.44 L 183.89 C 185.64 V 82488704");

        SetText(kIdVolCol, "9");
        QCOMPARE(FirstRow(), "First row (line 2) cannot be read: it has no volume column.");
        SetText(kIdVolCol, "");
        QCOMPARE(FirstRow(), "First row: a column box holds no number from 1 to 20.");
        SetText(kIdVolCol, "7");
        Get<QComboBox>(kIdDateFormat)->setEditText("MMDD");
        QVERIFY(FirstRow().startsWith("First row (line 2): You specified a numeric-only"));
        PressOk();
        QVERIFY(Accepted());
        QCOMPARE(m_dlg->Values().VolCol + m_dlg->Values().OIOn, 7);
    }

    void savedSettingsThatDoNotReadTheFileGiveWayToTheDetectedOnes() {
        Open(Valid());
        m_dlg->SetInput(kEuropean);
        QCOMPARE(FirstRow(),
                 "The saved settings do not read this file; these were detected from "
                 "it.\nFirst row: 2024-01-15 O 1187.15 H 1188.44 L 1183.89 C 1185.64 "
                 "V 82488704");
        QCOMPARE(Columns(), QStringLiteral("1 2 3 4 5 6 1"));
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("DD_MM_CCYY"));
        Get<QComboBox>(kIdThousands)->setCurrentIndex(1);  // comma, the decimal mark
        QVERIFY(FirstRow().startsWith("First row (line 2) cannot be read"));
        PressOk();
        QCOMPARE(LastMessage(), std::string("The thousands separator cannot be the decimal mark."));
        Get<QComboBox>(kIdThousands)->setCurrentIndex(2);
        Get<QCheckBox>(kIdSuffixes)->click();
        PressOk();
        const SettingsValues got = m_dlg->Values();
        QCOMPARE(std::tuple(got.Delimiter, got.Decimal, got.Thousands, got.Suffixes, got.SkipRows),
                 std::tuple(3, 1, 2, 1, 1));
        QCOMPARE(m_receiver->numbers, std::vector<int>{6});
    }

    void browseStartsInThePathBoxAndAnOverlongResultIsRefused() {
        QTemporaryDir root;
        QString deep = QDir(root.path()).canonicalPath();
        while (deep.size() <= 200) QVERIFY(QDir().mkdir(deep += "/" + QString(40, 'd')));
        QDir(deep).mkdir("sub");
        Open(Valid());
        SetText(kIdPath, deep);
        QString seenStart;
        WhenModalOpens<CChooseDir>([&](CChooseDir* chooser) {
            seenStart = chooser->CurrentDirectory();
            FindControl<QLineEdit>(chooser, kIdDirectoryBox)->setText(deep + "/sub");
            FindControl<QPushButton>(chooser, kIdOk)->click();
        });
        Get<QPushButton>(kIdBrowse)->click();
        QCOMPARE(seenStart, deep);
        QCOMPARE(Text(kIdPath), deep + "/sub");
        PressOk();
        QCOMPARE(LastMessage(), std::string("Enter no more than 200 characters."));
        QCOMPARE(FocusId(), kIdPath);

        // Cancel leaves the box; Browse reads the values first, so a bad box is reported.
        SetText(kIdHiCol, "33");
        WhenModalOpens<CChooseDir>(
            [](CChooseDir* chooser) { FindControl<QPushButton>(chooser, kIdCancel)->click(); });
        Get<QPushButton>(kIdBrowse)->click();
        QCOMPARE(LastMessage(), kRange.toStdString());
        QCOMPARE(Text(kIdPath), deep + "/sub");
        const auto said = m_sink->messages.size();
        Get<QPushButton>(kIdCancel)->click();  // Cancel checks nothing
        QVERIFY(m_dlg->result() == QDialog::Rejected && m_sink->messages.size() == said);
        QVERIFY(m_receiver->numbers.empty());
    }

    void settingsDialogArrangement_data() {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("normal font") << 1.0;
        QTest::newRow("large font") << 1.75;
    }
    void settingsDialogArrangement() {
        QFETCH(qreal, scale);
        // A bigger application font stands for a bigger screen scale.
        const QFont normal = QApplication::font();
        const auto restore = qScopeGuard([normal] { QApplication::setFont(normal); });
        QFont font = normal;
        font.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(font);
        CSettingsDlg dlg(*m_sink, *m_receiver);
        dlg.SetValues(Valid());
        // The first-row line filled to its longest: the detection note too.
        dlg.SetInput(kYahoo);
        test::CheckArrangement(&dlg, scale == 1.0 ? QStringLiteral("settings-dialog.png")
                                                  : QStringLiteral("settings-dialog-large.png"));

        // The four group boxes are stacked in their order, OK and Cancel
        // beneath them at the bottom right.
        const QStringList titles = {
            "Input File: Supported Fields and Column Assignments", "Input File: Detail Settings",
            "Output File: Path to Output Files", "Output File: Detail Settings"};
        QList<QGroupBox*> groups = dlg.findChildren<QGroupBox*>();
        std::sort(groups.begin(), groups.end(),
                  [](QGroupBox* a, QGroupBox* b) { return a->y() < b->y(); });
        QCOMPARE(groups.size(), 4);
        for (int i = 0; i < 4; ++i) QCOMPARE(groups[i]->title(), titles[i]);
        auto* ok = FindControl<QPushButton>(&dlg, kIdOk);
        auto* cancel = FindControl<QPushButton>(&dlg, kIdCancel);
        QVERIFY(ok->y() > groups[3]->geometry().bottom());
        QVERIFY(ok->x() < cancel->x());
        QVERIFY(cancel->geometry().right() > dlg.width() * 3 / 4);

        // Fields run left to right in their order, each with its arrows right beside it.
        for (int i = 0; i < 7; ++i) {
            QWidget* box = FindControl(&dlg, kColumnBoxes[i]);
            QCOMPARE(FindControl(&dlg, kColumnBoxes[i] + 1)->x(), box->geometry().right() + 1);
            if (i > 0) QVERIFY(FindControl(&dlg, kColumnBoxes[i - 1])->x() < box->x());
        }
    }
};

QTEST_MAIN(SettingsDlgTest)
#include "settings_dlg_test.moc"
