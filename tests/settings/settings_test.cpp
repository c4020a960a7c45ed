// The settings dialog and its small widgets, MessageBoxSink's boxes, the
// directory chooser and the profile store.
#include "choose_dir.h"
#include "control_id.h"
#include "limited_line_edit.h"
#include "message_box_sink.h"
#include "profile_store.h"
#include "settings_dlg.h"
#include "settings_ids.h"
#include "settings_test_support.h"
#include "up_down_control.h"

using namespace corvat;
using test::WhenModalOpens;

namespace {
// The widgets a user sees as one control each: parts of a control (a combo
// box's edit field, an up-down control's arrows) are left out.
inline QList<QWidget*> Controls(QWidget* dialog) {
    const auto composite = [](QWidget* w) {
        return qobject_cast<QComboBox*>(w) || qobject_cast<UpDownControl*>(w) ||
               qobject_cast<QAbstractScrollArea*>(w);
    };
    QList<QWidget*> controls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != dialog; p = p->parentWidget())
            part = part || composite(p);
        if (w->isVisibleTo(dialog) && !part &&
            (composite(w) || qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
             qobject_cast<QLineEdit*>(w) || qobject_cast<QGroupBox*>(w)))
            controls.append(w);
    }
    return controls;
}

inline QRect InDialog(QWidget* w, QWidget* dialog) {
    return QRect(w->mapTo(dialog, QPoint(0, 0)), w->size());
}

inline QString Describe(QWidget* w) {
    return QStringLiteral("%1 %2").arg(w->metaObject()->className(), w->objectName());
}

// Every control inside the dialog, none cut; its picture saved as `shotName`.
inline void CheckArrangement(QWidget* dialog, const QString& shotName) {
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QRect inside = dialog->rect();
    const QList<QWidget*> controls = Controls(dialog);
    QVERIFY(controls.size() > 5);

    for (QWidget* c : controls) {
        const QRect r = InDialog(c, dialog);
        QVERIFY2(inside.contains(r) && !r.isEmpty(), qPrintable(Describe(c) + " is outside"));
        // Texts must not be cut: each control gets at least the size it asks for.
        if (qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c))
            QVERIFY2(c->width() >= c->sizeHint().width() && c->height() >= c->sizeHint().height() &&
                         (!c->hasHeightForWidth() || c->height() >= c->heightForWidth(c->width())),
                     qPrintable(Describe(c) + " is too small for its text"));
    }

    QDir().mkpath(QStringLiteral(CORVAT_SCREENSHOT_DIR));
    QVERIFY(dialog->grab().save(QStringLiteral(CORVAT_SCREENSHOT_DIR "/%1").arg(shotName)));
}

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

const SettingsValues kValid{.Path = "/tmp", .Symbol = "IBM", .Name = "IBM CORP"};

const int kNotAsked = 0, kYes = 1, kNo = 2;
const QString kMessages[] = {
    "", "%1 is not a valid pathname.",
    "There was a problem creating %1.\nThe new directory was not created."};

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

}  // namespace

class SettingsTest : public QObject {
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

    QString m_root;   // canonical path of the temporary tree
    int m_depth = 0;  // list entries above m_root's own

    auto Make(const QString& start) { return std::make_unique<CChooseDir>(*m_sink, start); }
    static QLineEdit* Box(CChooseDir* d) { return FindControl<QLineEdit>(d, kIdDirectoryBox); }
    static auto* List(CChooseDir* d) { return FindControl<QListWidget>(d, kIdDirectoryList); }
    static void Confirm(CChooseDir* d) { FindControl<QPushButton>(d, kIdOk)->click(); }

    QTemporaryDir m_dir;  // the profile store's files, and the chooser's tree below it
    QString m_ini;
    int m_count = 0;
    QString Ini() const { return QString::fromStdString(test::ReadFileBytes(m_ini.toStdString())); }
    void SetIni(const std::string& text) { test::WriteFileBytes(m_ini.toStdString(), text); }

private slots:
    void initTestCase() {
        m_root = QDir(m_dir.path()).canonicalPath() + "/tree";
        m_depth = static_cast<int>(m_root.split('/', Qt::SkipEmptyParts).size());
        for (const char* sub : {"alpha", "Beta", "gamma", "alpha/inner"})
            QVERIFY(QDir(m_root).mkpath(sub));
    }
    void init() {
        m_sink = std::make_unique<test::RecordingSink>();
        m_receiver = std::make_unique<test::RecordingReceiver>();
        m_dlg = std::make_unique<CSettingsDlg>(*m_sink, *m_receiver);
        m_ini = m_dir.filePath(QStringLiteral("Corvat-%1.ini").arg(m_count++));
    }
    void cleanup() { m_dlg.reset(); }

    void firstStartShowsTheDefaultsWithOkFocused() {
        Open(ProfileStore(m_ini).LoadSettings());  // no file yet
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
        Open({.Path = "/tmp", .Symbol = "IBM", .Name = "IBM CORP", .SkipOn = 1, .SkipRows = 12});
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
        // A cleared box is checked all the same.
        Open({.Path = "/tmp", .Symbol = "IBM", .Name = "IBM CORP", .SkipOn = 1, .LoOn = 0});
        const std::tuple<int, QString, QString, QString> order[] = {
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
            {kIdSkipRows, "201", "200", "Please enter an integer between 0 and 200."}};
        for (const auto& [id, bad, good, message] : order) SetText(id, bad);
        auto* combo = Get<QComboBox>(kIdDateFormat);
        combo->setEditText(QString(13, 'D'));
        for (const auto& [id, bad, good, message] : order) {
            m_sink->Clear();
            PressOk();
            QCOMPARE(m_sink->messages, std::vector{message.toStdString()});
            if (Get(id)->isEnabled()) QCOMPARE(FocusId(), id);
            QCOMPARE(Text(id), bad);  // a refused text stays as typed
            SetText(id, good);
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
        SettingsValues v = kValid;
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
        Open({.DateFormat = "dd_mm_c", .Path = "   ", .Symbol = "   ", .Name = "N", .HiCol = 1});
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

    // Typed, left by OK, and the date format number handed on (0: the user's own
    // format); blanks before a symbol stay, "y" is the first entry.
    void typedTextIsCleaned() {
        const std::tuple<int, QString, QString, int> typedShownNumber[] = {
            {kIdSymbol, "msft\t", "MSFT", 9},
            {kIdSymbol, "  brk b ", "  BRK B", 9},
            {kIdDateFormat, "mm", "MM_DD_YY", 3},
            {kIdDateFormat, "mmdd", "MMDDYY", 9},
            {kIdDateFormat, "DDMMCCYY", "DDMMCCYY", 12},
            {kIdDateFormat, "y", "YY_MM_DD", 1},
            {kIdDateFormat, "QQ/MM", "QQ/MM", 0},
            {kIdDateFormat, "MMDDYYYYXXXX", "MMDDYYYYXXXX", 0}};
        for (const auto& [id, typed, shown, number] : typedShownNumber) {
            m_receiver->numbers.clear();
            Open(kValid);
            auto* combo = Get<QComboBox>(kIdDateFormat);
            QLineEdit* box = id == kIdSymbol ? Get(kIdSymbol) : combo->lineEdit();
            box->clear();
            QTest::keyClicks(box, typed);
            PressOk();
            QCOMPARE(typed + " -> " + box->text(), typed + " -> " + shown);
            QCOMPARE(
                std::tuple(m_sink->messages.size(), m_receiver->numbers, combo->currentIndex()),
                std::tuple(size_t{0}, std::vector<int>{number}, number - 1));
        }
    }

    void valuesAfterOkAreWhatTheControlsShow() {
        Open({.Delimiter = 7, .Path = "/tmp", .Symbol = "IBM", .Name = "IBM CORP"});
        PressOk();
        QCOMPARE(m_dlg->Values().Delimiter, -1);  // hand-edited: no button chosen
        Open(kValid);
        for (int id : {kIdTab, kIdMakeNewMaster, kIdSkipOn, kIdVolOn})
            Get<QAbstractButton>(id)->click();
        SetText(kIdSkipRows, "3");
        SetText(kIdName, "lower name ");  // the name is not checked or cleaned
        PressOk();
        SettingsValues shown = kValid;
        shown.Delimiter = shown.Exist = shown.SkipOn = 1, shown.SkipRows = 3;
        shown.VolOn = 0, shown.VolCol = 1, shown.Name = "lower name ";
        QVERIFY(m_dlg->Values() == shown);
    }

    void detectFillsTheLayoutAndTheFirstRowFollowsTheSettings() {
        // These read the file, but Adj Close as volume.
        SettingsValues v = kValid;
        v.DateFormat = "CCYY_MM_DD", v.SkipOn = v.SkipRows = 1;
        Open(v);
        m_dlg->SetInput(kYahoo);
        QCOMPARE(FirstRow(),
                 "The saved settings read this file, but Detect reads it another way.\nFirst "
                 "row: 2024-01-02 O 187.15 H 188.44 L 183.89 C 185.64 V 185.4 OI 82488704");
        Get<QPushButton>(kIdDetect)->click();
        QCOMPARE(Columns(), QStringLiteral("1 2 3 4 5 7 1"));
        QCOMPARE(State(kIdOICol) + State(kIdSkipRows) + Text(kIdSkipRows), "offon1");
        QVERIFY(Get<QRadioButton>(kIdComma)->isChecked() && !Get<QCheckBox>(kIdOIOn)->isChecked());
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("CCYY_MM_DD"));
        QCOMPARE(FirstRow(),
                 "First row: 2024-01-02 O 187.15 H 188.44 L 183.89 C 185.64 V 82488704");
        m_dlg->SetInput(kYahoo);  // the settings are now Detect's, the unused OI box aside
        QVERIFY(FirstRow().startsWith("First row: "));

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
        Open(kValid);
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
        // A sure detection is offered though a row of the file is bad.
        Open(kValid);
        m_dlg->SetInput(std::string(kYahoo) + "2024-01-04,null,null,null,null,null,null\n");
        QVERIFY(FirstRow().startsWith("The saved settings do not read this file;"));
        m_dlg->SetInput("01/02/2024,1,2,3,4\n03/04/2024,1,2,3,4\n");
        Get<QPushButton>(kIdDetect)->click();
        QCOMPARE(Get<QComboBox>(kIdDateFormat)->currentText(), QStringLiteral("MM_DD_CCYY"));
    }

    void browseStartsInThePathBoxAndAnOverlongResultIsRefused() {
        QString deep = QDir(m_dir.path()).canonicalPath();
        while (deep.size() <= 200) QVERIFY(QDir().mkdir(deep += "/" + QString(40, 'd')));
        QDir(deep).mkdir("sub");
        Open(kValid);
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
        QCOMPARE(FocusId(), kIdOk);
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

    void settingsDialogArrangement() {
        // A bigger application font stands for a bigger screen scale.
        const QFont normal = QApplication::font();
        const auto restore = qScopeGuard([normal] { QApplication::setFont(normal); });
        for (const qreal scale : {1.0, 1.75}) {
            QFont font = normal;
            font.setPointSizeF(font.pointSizeF() * scale);
            QApplication::setFont(font);
            CSettingsDlg dlg(*m_sink, *m_receiver);
            dlg.SetValues(kValid);
            // The first-row line filled to its longest: a detection note too.
            dlg.SetInput(
                "Date,Price,Open,High,Low,Vol.\n"
                "01/05/2024,181.18,181.99,182.76,180.17,62.30M\n"
                "01/04/2024,181.91,182.15,183.09,180.88,71.98M\n");
            FindControl<QPushButton>(&dlg, kIdDetect)->click();
            CheckArrangement(&dlg, scale == 1.0 ? QStringLiteral("settings-dialog.png")
                                                : QStringLiteral("settings-dialog-large.png"));

            // The group boxes stacked in order, OK and Cancel beneath at the bottom right.
            const QStringList titles = {"Input File: Supported Fields and Column Assignments",
                                        "Input File: Detail Settings",
                                        "Output File: Path to Output Files",
                                        "Output File: Detail Settings"};
            QList<QGroupBox*> groups = dlg.findChildren<QGroupBox*>();
            std::sort(groups.begin(), groups.end(),
                      [](QGroupBox* a, QGroupBox* b) { return a->y() < b->y(); });
            QCOMPARE(groups.size(), 4);
            for (int i = 0; i < 4; ++i) QCOMPARE(groups[i]->title(), titles[i]);
            auto* ok = FindControl<QPushButton>(&dlg, kIdOk);
            auto* cancel = FindControl<QPushButton>(&dlg, kIdCancel);
            QVERIFY(ok->y() > groups[3]->geometry().bottom() && ok->x() < cancel->x());
            QVERIFY(cancel->geometry().right() > dlg.width() * 3 / 4);

            // Fields run left to right in their order, each with its arrows right beside it.
            for (int i = 0; i < 7; ++i) {
                QWidget* box = FindControl(&dlg, kColumnBoxes[i]);
                QCOMPARE(FindControl(&dlg, kColumnBoxes[i] + 1)->x(), box->geometry().right() + 1);
                if (i > 0) QVERIFY(FindControl(&dlg, kColumnBoxes[i - 1])->x() < box->x());
            }
        }
    }

    void stepsWithinTheRange() {
        // Top of the range (bottom 1, or 0 with 200), text, arrow clicked, text after.
        const std::tuple<int, QString, int, QString> steps[] = {
            {20, "20", +1, "20"},    {20, "1", -1, "1"},
            {200, "199", +1, "200"}, {200, "0", -1, "0"},
            {20, "25", +1, "20"},    {20, "25", -1, "20"},
            {20, "0", -1, "1"},      {20, " 7 ", +1, "8"},
            {20, "007", -1, "6"},    {20, "99999999999999", -1, "20"}};
        for (const auto& [upper, text, delta, expected] : steps) {
            QLineEdit box;
            UpDownControl spin(&box);
            spin.SetRange(upper == 200 ? 0 : 1, upper);
            box.setText(text);
            QTest::mouseClick(delta > 0 ? spin.UpButton() : spin.DownButton(), Qt::LeftButton);
            const QString step = QStringLiteral("%1 %2: ").arg(text).arg(delta);
            QCOMPARE(step + box.text(), step + expected);
        }
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

    // Messages are plain UTF-8 with OK and our title; questions return the button.
    void messageAndQuestionBoxes() {
        QString seen;
        WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
            seen = box->windowTitle() + "|" + box->text() + "|" +
                   QString::number(box->textFormat() == Qt::PlainText &&
                                   box->standardButtons() == QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        MessageBoxSink(nullptr).ShowMessage("<b>/home/j\xC3\xBCrgen is not a valid pathname.");
        QCOMPARE(seen, QStringLiteral("Corvat|<b>/home/jürgen is not a valid pathname.|1"));
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

    void showsThePathEntersDirectoriesAndCancelTakesNone() {
        const QString cwd = QDir::currentPath();
        auto dlg = Make(m_root);
        QListWidget* list = List(dlg.get());
        QStringList entries;
        for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
        QCOMPARE(entries, (QStringList{"/"} + m_root.split('/', Qt::SkipEmptyParts) +
                           QStringList{"alpha", "Beta", "gamma"}));
        QCOMPARE(list->currentRow(), m_depth);
        QCOMPARE(Box(dlg.get())->text(), m_root);
        for (const QString start : {"", "/no/such/directory/here", "/etc/hostname"})
            QCOMPARE(Make(start)->CurrentDirectory(), QDir::current().canonicalPath());

        // Selecting an entry shows its path; typing changes only the box.
        const std::pair<int, QString> rows[] = {
            {0, "/"}, {m_depth - 1, QFileInfo(m_root).path()}, {m_depth + 3, m_root + "/gamma"}};
        for (const auto& [row, path] : rows) {
            list->setCurrentRow(row);
            QCOMPARE(Box(dlg.get())->text(), path);
        }
        Box(dlg.get())->setText("typed");
        QCOMPARE(list->currentRow(), m_depth + 3);

        emit list->itemDoubleClicked(list->item(m_depth + 1));  // "alpha"
        QCOMPARE(dlg->CurrentDirectory(), m_root + "/alpha");
        QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("inner"));
        QCOMPARE(Box(dlg.get())->text(), m_root + "/alpha");
        emit list->itemDoubleClicked(list->item(0));
        QCOMPARE(Box(dlg.get())->text(), QStringLiteral("/"));
        Confirm(dlg.get());
        QCOMPARE(dlg->ChosenDirectory(), QStringLiteral("/"));
        QCOMPARE(QDir::currentPath(), cwd);  // the working directory is left alone

        auto other = Make(m_root);
        Box(other.get())->setText(m_root + "/never");  // Cancel asks and makes nothing
        FindControl<QPushButton>(other.get(), kIdCancel)->click();
        QVERIFY(other->result() == QDialog::Rejected && other->ChosenDirectory().isEmpty());
        QVERIFY(m_sink->questions.empty() && !QFileInfo::exists(m_root + "/never"));
    }

    // %1 stands for the temporary tree, %2 for the text typed.
    void acceptanceOfTheTypedDirectory_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("question");    // kNotAsked, or asked and answered kYes or kNo
        QTest::addColumn<int>("message");     // index into kMessages
        QTest::addColumn<QString>("chosen");  // empty: the dialog stays open
        QTest::newRow("as listed") << "%1/alpha" << kNotAsked << 0 << "%1/alpha";
        QTest::newRow("trailing separator dropped") << "%1/Beta/" << kNotAsked << 0 << "%1/Beta";
        QTest::newRow("dot segments") << "%1/alpha/../gamma" << kNotAsked << 0 << "%1/gamma";
        QTest::newRow("relative to the working directory")
            << "gamma" << kNotAsked << 0 << "%1/gamma";
        QTest::newRow("root") << "/" << kNotAsked << 0 << "/";
        for (const char* c : {"*", "?", "|", "<", ">", "\""}) {
            QTest::addRow("forbidden %s", c)
                << "%1/bad" + QString(c) + "name" << kNotAsked << 1 << QString();
        }
        QTest::newRow("created") << "%1/made" << kYes << 0 << "%2";
        QTest::newRow("created, separator kept") << "%1/made-slash/" << kYes << 0 << "%2";
        QTest::newRow("created, blank kept") << "%1/made blank " << kYes << 0 << "%2";
        QTest::newRow("backslash and colon are ordinary")
            << "%1/c:back\\slash" << kYes << 0 << "%2";
        QTest::newRow("answered No") << "%1/fresh" << kNo << 0 << QString();
        QTest::newRow("only one level is created") << "%1/missing/level" << kYes << 2 << QString();
        QTest::newRow("empty box") << QString() << kYes << 2 << QString();
        QTest::newRow("a file is not a directory") << "%1/plain.txt" << kYes << 2 << QString();
    }
    void acceptanceOfTheTypedDirectory() {
        QFETCH(QString, typed);
        QFETCH(int, question);
        QFETCH(int, message);
        QFETCH(QString, chosen);
        typed.replace("%1", m_root);
        chosen.replace("%1", m_root).replace("%2", typed);
        QVERIFY(QFile(m_root + "/plain.txt").open(QIODevice::WriteOnly));
        const QString saved = QDir::currentPath();
        QDir::setCurrent(m_root);
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(typed);
        m_sink->answers = {question == kYes};
        Confirm(dlg.get());
        QDir::setCurrent(saved);
        std::vector<std::string> said;
        if (question)
            said.push_back(
                ("Directory " + typed + " does not exist.\nCreate this directory?").toStdString());
        QCOMPARE(m_sink->questions, said);
        if (message) said.push_back(kMessages[message].arg(typed).toStdString());
        QCOMPARE(m_sink->messages, said);
        QCOMPARE(dlg->result(), int(chosen.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
        QCOMPARE(dlg->ChosenDirectory(), chosen);
        QVERIFY(!QFileInfo::exists(m_root + "/missing"));
        if (!chosen.isEmpty()) QVERIFY(QFileInfo(chosen).isDir());
        if (chosen.isEmpty()) QVERIFY(!QFileInfo(typed).isDir() && Box(dlg.get())->text() == typed);
    }

    // The first paint highlights the root but keeps the box.
    void chooserArrangementAndFirstPaint() {
        CChooseDir dlg(*m_sink, m_root + "/alpha");
        CheckArrangement(&dlg, QStringLiteral("choose-dir.png"));
        auto* ok = FindControl<QPushButton>(&dlg, kIdOk);
        auto* list = FindControl<QListWidget>(&dlg, kIdDirectoryList);
        QVERIFY(Box(&dlg)->y() < list->y() && list->y() < FindControl(&dlg, kIdDriveList)->y());
        QVERIFY(ok->x() > list->geometry().right() && ok->isDefault());
        QTRY_COMPARE(list->currentRow(), 0);
        QCOMPARE(std::pair(Box(&dlg)->text(), dlg.focusWidget()),
                 std::pair(m_root + "/alpha", static_cast<QWidget*>(list)));
        Confirm(&dlg);  // OK takes the box's directory, not the highlighted root
        QCOMPARE(dlg.ChosenDirectory(), m_root + "/alpha");
    }

    void missingFileSectionOrKeyGivesTheDefaults() {
        ProfileStore store(m_ini);
        QVERIFY(store.LoadSettings() == SettingsValues{} && store.RecentFiles().isEmpty());
        QVERIFY(!QFile::exists(m_ini));  // reading creates nothing
        QCOMPARE(ProfileStore().FileName().section('/', -2), QStringLiteral("Corvat/Corvat.ini"));

        SetIni("[Other]\nDateCol=9\n[Setting]\nHiCol=12\n");
        const SettingsValues v = store.LoadSettings();
        QCOMPARE(std::pair(v.DateCol, v.HiCol), std::pair(1, 12));  // [Other] is not read
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
        v.DateFormat = "DDMMCCYY", v.Exist = v.Decimal = v.Suffixes = 1, v.Delimiter = 3;
        v.SkipRows = 200, v.OICol = 19, v.Thousands = 3;
        SettingsValues expected = v;
        expected.Path = expected.Symbol = expected.Name = "old";
        v.Path = v.Symbol = v.Name = "new";
        store.SaveSettings(v);
        QVERIFY(ProfileStore(m_ini).LoadSettings() == expected);
    }

    void handEditedNumbersAndTextsAsTheyWereWritten() {
        // Out of range is loaded unchanged; junk reads as the default, 4.
        for (const auto& [stored, expected] :
             {std::pair("25", 25), {" 12 ", 12}, {"abc", 4}, {"5x", 4}, {"99999999999", 4}}) {
            SetIni("[Setting]\nLoCol=" + std::string(stored) + "\nName=ACME,Inc\n");
            const SettingsValues v = ProfileStore(m_ini).LoadSettings();
            QCOMPARE(std::pair(v.LoCol, stored), std::pair(expected, stored));
            QCOMPARE(v.Name, QStringLiteral("ACME,Inc"));  // not read as a list
        }
        for (const QString& text :
             QStringList{"/Home/Ann/MetaData", "  padded  ", "a,b;c=d \"q\" \\ 100% [x] #1",
                         "Zürich Öl", QString(200, 'p')}) {
            ProfileStore(m_ini).WriteProfileString(kSettingSection, "Path", text.toStdString());
            QCOMPARE(ProfileStore(m_ini).LoadSettings().Path, text);
        }
    }

    void recentFilesKeepFourInTheirOwnSection() {
        ProfileStore store(m_ini);
        store.SetRecentFiles({"/a.csv", "", "/b.csv", "/c.csv", "/d.csv", "/e.csv"});
        QCOMPARE(store.RecentFiles(), QStringList({"/a.csv", "/b.csv", "/c.csv", "/d.csv"}));
        QVERIFY(Ini().contains("File1=/a.csv\nFile2=/b.csv\nFile3=/c.csv\nFile4=/d.csv"));
        store.SetRecentFiles({"/z.csv"});  // a shorter list drops the stale entries
        store.SaveSettings(SettingsValues{});
        QCOMPARE(ProfileStore(m_ini).RecentFiles(), QStringList({"/z.csv"}));
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
