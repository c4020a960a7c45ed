#include "settings_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "choose_dir.h"
#include "control_id.h"
#include "date_formats.h"
#include "dialog_units.h"
#include "field_table.h"
#include "index_files.h"
#include "layout_detection.h"
#include "layout_values.h"
#include "limited_line_edit.h"
#include "master_record.h"
#include "settings_ids.h"
#include "up_down_control.h"
#include "whole_number.h"

namespace corvat {

namespace {

constexpr int kFirstColumn = 1;
constexpr int kLastColumn = static_cast<int>(kMaxColumns);
constexpr int kMaxSkipRows = 200;
constexpr int kMaxPathLength = 200;
constexpr int kMaxSymbolLength = static_cast<int>(kMaxSymbolBytes);
constexpr int kMaxNameLength = static_cast<int>(master::kTextSize);
constexpr int kMaxDateFormatLength = 12;

const char* const kDuplicateColumns = "Duplicate columns specified\nCorrect or disable";
const char* const kNoSymbol = "You did not enter a valid symbol";
const char* const kNoPath = "Please enter path";
const char* const kSeparatorIsDecimalMark = "The thousands separator cannot be the decimal mark.";
const char* const kDetectedNote =
    "The saved settings do not read this file; these were detected from it.";
const char* const kOtherReadingNote =
    "The saved settings read this file, but Detect reads it another way.";

// The line under the groups: two lines high at the least, so that the
// dialog keeps its size as short texts change; as high as a detection note
// over a long first row needs, so that neither is cut off.
void FitHeight(QLabel* line) {
    line->setMinimumHeight(0);  // a label's height for a width is at least its minimum
    line->setFixedHeight(
        std::max(2 * line->fontMetrics().lineSpacing() + 2, line->heightForWidth(line->width())));
}

class FirstRowLine : public QLabel {
public:
    explicit FirstRowLine(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        FitHeight(this);
    }
    QSize sizeHint() const override { return {DialogUnits(fontMetrics()).X(100), height()}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        if (event->size().width() != event->oldSize().width()) FitHeight(this);
    }
};

QString NotANumberMessage(int lower, int upper) {
    return QStringLiteral("Please enter a whole number.\nIt must lie between %1 and %2.")
        .arg(lower)
        .arg(upper);
}

QString OutOfRangeMessage(int lower, int upper) {
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(lower).arg(upper);
}

QString TooLongMessage(int maxLength) {
    return QStringLiteral("Enter no more than %1 characters.").arg(maxLength);
}

// The symbol's blanks at the end come from padded input; blanks at the front
// are left alone, since they may be meant.
QString WithoutTrailingSpace(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) --end;
    return text.left(end);
}

int DateFormatIndex(const QString& text) {
    for (std::size_t i = 0; i < kDateFormatNames.size(); ++i) {
        const QString entry = QString::fromLatin1(
            kDateFormatNames[i].data(), static_cast<qsizetype>(kDateFormatNames[i].size()));
        if (entry.startsWith(text, Qt::CaseInsensitive)) return static_cast<int>(i);
    }
    return -1;
}

template <class T>
T* WithId(T* control, int id) {
    SetControlId(control, id);
    return control;
}

void CheckRadio(QButtonGroup* group, int position) {
    // Exclusive groups cannot be cleared; a position outside the group must
    // show no button chosen.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(group->id(button) == position);
    }
    group->setExclusive(true);
}

}  // namespace

CSettingsDlg::CSettingsDlg(MessageSink& messages, DateFormatReceiver& receiver, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_receiver(receiver) {
    // A dialog not yet given values shows nothing chosen.
    m_values.DateFormat.clear();
    m_values.Exist = -1;
    m_values.Delimiter = -1;
    m_values.DateCol = m_values.OpenOn = m_values.OpenCol = m_values.HiOn = m_values.HiCol = 0;
    m_values.LoOn = m_values.LoCol = m_values.CloCol = m_values.VolOn = m_values.VolCol = 0;
    m_values.OIOn = m_values.OICol = 0;

    SetControlId(this, kIdSettingsDialog);
    setWindowTitle(QStringLiteral("Conversion Settings"));
    BuildControls();

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        if (m_helpHandler) m_helpHandler();
    });

    SetValues(m_values);
}

void CSettingsDlg::SetHelpHandler(std::function<void()> handler) {
    m_helpHandler = std::move(handler);
}

QLineEdit* CSettingsDlg::NewNumberBox(int id, int spinId, int lower, int upper,
                                      UpDownControl** spin) {
    const DialogUnits du(fontMetrics());
    auto* box = WithId(new QLineEdit(this), id);
    box->setFixedWidth(du.X(30));
    *spin = WithId(new UpDownControl(box, this), spinId);
    (*spin)->setFixedHeight(box->sizeHint().height());
    (*spin)->SetRange(lower, upper);
    return box;
}

void CSettingsDlg::BuildControls() {
    const DialogUnits du(fontMetrics());
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    // The number box with its up-down control right against its edge.
    auto boxPair = [](QLineEdit* box, UpDownControl* spin) {
        auto* pair = new QHBoxLayout;
        pair->setSpacing(0);
        pair->addWidget(box);
        pair->addWidget(spin);
        return pair;
    };

    // Input File: Supported Fields and Column Assignments
    auto* fieldsGroup =
        new QGroupBox(QStringLiteral("Input File: Supported Fields and Column Assignments"), this);
    auto* fields = new QGridLayout(fieldsGroup);
    fields->setHorizontalSpacing(du.X(6));
    struct Column {
        QWidget* header;
        QLineEdit** box;
        int boxId;
        int spinId;
        int spinIndex;
    };
    auto* dateLabel = new QLabel(QStringLiteral("Date"), fieldsGroup);
    m_openOn = WithId(new QCheckBox(QStringLiteral("Open"), fieldsGroup), kIdOpenOn);
    m_hiOn = WithId(new QCheckBox(QStringLiteral("High"), fieldsGroup), kIdHiOn);
    m_loOn = WithId(new QCheckBox(QStringLiteral("Low"), fieldsGroup), kIdLoOn);
    auto* closeLabel = new QLabel(QStringLiteral("Close"), fieldsGroup);
    m_volOn = WithId(new QCheckBox(QStringLiteral("Volume"), fieldsGroup), kIdVolOn);
    m_oiOn = WithId(new QCheckBox(QStringLiteral("Open Int"), fieldsGroup), kIdOIOn);
    const Column columns[] = {
        {dateLabel, &m_dateCol, kIdDateCol, kIdDateColSpin, 0},
        {m_openOn, &m_openCol, kIdOpenCol, kIdOpenColSpin, 1},
        {m_hiOn, &m_hiCol, kIdHiCol, kIdHiColSpin, 2},
        {m_loOn, &m_loCol, kIdLoCol, kIdLoColSpin, 3},
        {closeLabel, &m_cloCol, kIdCloCol, kIdCloColSpin, 4},
        {m_volOn, &m_volCol, kIdVolCol, kIdVolColSpin, 5},
        {m_oiOn, &m_oiCol, kIdOICol, kIdOIColSpin, 6},
    };
    int gridColumn = 0;
    for (const Column& column : columns) {
        *column.box = NewNumberBox(column.boxId, column.spinId, kFirstColumn, kLastColumn,
                                   &m_spins[column.spinIndex]);
        (*column.box)->setParent(fieldsGroup);
        m_spins[column.spinIndex]->setParent(fieldsGroup);
        fields->addWidget(column.header, 0, gridColumn);
        auto* pair = boxPair(*column.box, m_spins[column.spinIndex]);
        pair->addStretch();
        fields->addLayout(pair, 1, gridColumn);
        fields->setColumnStretch(gridColumn, 1);
        ++gridColumn;
    }
    outer->addWidget(fieldsGroup);

    // Input File: Detail Settings
    auto* detailGroup = new QGroupBox(QStringLiteral("Input File: Detail Settings"), this);
    auto* detail = new QGridLayout(detailGroup);
    detail->setHorizontalSpacing(du.X(10));
    detail->addWidget(new QLabel(QStringLiteral("Which Column Delimiter Character?"), detailGroup),
                      0, 0);
    auto* radios = new QHBoxLayout;
    m_delimiter = new QButtonGroup(this);
    const std::pair<const char*, int> delimiters[] = {
        {"Comma", kIdComma}, {"Tab", kIdTab}, {"Space", kIdSpace}, {"Semicolon", kIdSemicolon}};
    int position = 0;
    for (const auto& [text, id] : delimiters) {
        auto* radio = WithId(new QRadioButton(QString::fromLatin1(text), detailGroup), id);
        m_delimiter->addButton(radio, position++);
        radios->addWidget(radio);
    }
    radios->addStretch();
    detail->addLayout(radios, 1, 0);
    detail->addWidget(new QLabel(QStringLiteral("Date Format"), detailGroup), 0, 1);
    m_dateFormat = WithId(new QComboBox(detailGroup), kIdDateFormat);
    m_dateFormat->setEditable(true);
    m_dateFormat->setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would rewrite what is typed; the text is resolved
    // against the list only when the values are shown again.
    m_dateFormat->setCompleter(nullptr);
    for (std::string_view name : kDateFormatNames) {
        m_dateFormat->addItem(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    m_dateFormat->setMinimumWidth(du.X(80));
    detail->addWidget(m_dateFormat, 1, 1);
    m_skipOn = WithId(new QCheckBox(QStringLiteral("Skip Rows"), detailGroup), kIdSkipOn);
    detail->addWidget(m_skipOn, 0, 2);
    m_skipRows = NewNumberBox(kIdSkipRows, kIdSkipRowsSpin, 0, kMaxSkipRows, &m_spins[7]);
    m_skipRows->setParent(detailGroup);
    m_spins[7]->setParent(detailGroup);
    auto* skipPair = boxPair(m_skipRows, m_spins[7]);
    skipPair->addStretch();
    detail->addLayout(skipPair, 1, 2);
    detail->setColumnStretch(2, 1);

    // How the numbers are written, under the delimiter.
    auto* numbers = new QGridLayout;
    numbers->setHorizontalSpacing(du.X(10));
    numbers->addWidget(new QLabel(QStringLiteral("Decimal Mark"), detailGroup), 0, 0);
    m_decimal = WithId(new QComboBox(detailGroup), kIdDecimal);
    m_decimal->addItems({QStringLiteral("Point"), QStringLiteral("Comma")});
    numbers->addWidget(m_decimal, 1, 0);
    numbers->addWidget(new QLabel(QStringLiteral("Thousands Separator"), detailGroup), 0, 1);
    m_thousands = WithId(new QComboBox(detailGroup), kIdThousands);
    m_thousands->addItems({QStringLiteral("None"), QStringLiteral("Comma"), QStringLiteral("Dot"),
                           QStringLiteral("Space")});
    numbers->addWidget(m_thousands, 1, 1);
    numbers->setColumnStretch(2, 1);
    detail->addLayout(numbers, 2, 0, 2, 1);
    m_suffixes =
        WithId(new QCheckBox(QStringLiteral("Suffixes K, M, B"), detailGroup), kIdSuffixes);
    m_suffixes->setToolTip(QStringLiteral("Volume and open interest may end in K, M or B"));
    detail->addWidget(m_suffixes, 3, 1);
    m_detect = WithId(new QPushButton(QStringLiteral("Detect"), detailGroup), kIdDetect);
    m_detect->setToolTip(
        QStringLiteral("Fill the columns, delimiter, date format, rows to skip and number style "
                       "from the opened file"));
    m_detect->setEnabled(false);
    detail->addWidget(m_detect, 3, 2, Qt::AlignLeft);
    outer->addWidget(detailGroup);

    // Output File: Path to Output Files
    auto* pathGroup = new QGroupBox(QStringLiteral("Output File: Path to Output Files"), this);
    auto* pathGrid = new QGridLayout(pathGroup);
    pathGrid->addWidget(new QLabel(QStringLiteral("Directory Path"), pathGroup), 0, 0);
    m_path = WithId(new LimitedLineEdit(kMaxPathLength, pathGroup), kIdPath);
    m_path->setMinimumWidth(du.X(240));
    pathGrid->addWidget(m_path, 1, 0);
    m_browse = WithId(new QPushButton(QStringLiteral("Browse..."), pathGroup), kIdBrowse);
    m_browse->setMinimumWidth(du.X(65));
    pathGrid->addWidget(m_browse, 1, 1);
    pathGrid->setColumnStretch(0, 1);
    outer->addWidget(pathGroup);

    // Output File: Detail Settings
    auto* outputGroup = new QGroupBox(QStringLiteral("Output File: Detail Settings"), this);
    auto* output = new QGridLayout(outputGroup);
    output->setHorizontalSpacing(du.X(10));
    output->addWidget(
        new QLabel(QStringLiteral("How to use a Master File in this Directory?"), outputGroup), 0,
        0);
    auto* masterRadios = new QHBoxLayout;
    m_exist = new QButtonGroup(this);
    auto* useExisting = WithId(new QRadioButton(QStringLiteral("Use Existing Master"), outputGroup),
                               kIdUseExistingMaster);
    auto* makeNew =
        WithId(new QRadioButton(QStringLiteral("Make New Master"), outputGroup), kIdMakeNewMaster);
    m_exist->addButton(useExisting, 0);
    m_exist->addButton(makeNew, 1);
    masterRadios->addWidget(useExisting);
    masterRadios->addWidget(makeNew);
    masterRadios->addStretch();
    output->addLayout(masterRadios, 1, 0);
    output->addWidget(new QLabel(QStringLiteral("Symbol"), outputGroup), 0, 1);
    m_symbol = WithId(new LimitedLineEdit(kMaxSymbolLength, outputGroup), kIdSymbol);
    m_symbol->setFixedWidth(du.X(65));
    output->addWidget(m_symbol, 1, 1);
    output->addWidget(new QLabel(QStringLiteral("Name"), outputGroup), 0, 2);
    m_name = WithId(new LimitedLineEdit(kMaxNameLength, outputGroup), kIdName);
    m_name->setFixedWidth(du.X(65));
    output->addWidget(m_name, 1, 2);
    output->setColumnStretch(0, 1);
    outer->addWidget(outputGroup);

    m_firstRow = WithId(new FirstRowLine(this), kIdFirstRow);
    outer->addWidget(m_firstRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = WithId(new QPushButton(QStringLiteral("OK"), this), kIdOk);
    m_cancel = WithId(new QPushButton(QStringLiteral("Cancel"), this), kIdCancel);
    m_ok->setDefault(true);
    m_ok->setMinimumWidth(du.X(50));
    m_cancel->setMinimumWidth(du.X(50));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);

    // Tab order follows the reading order of the rows, as the layout shows them.
    QWidget* const tabOrder[] = {m_dateCol,
                                 m_openOn,
                                 m_openCol,
                                 m_hiOn,
                                 m_hiCol,
                                 m_loOn,
                                 m_loCol,
                                 m_cloCol,
                                 m_volOn,
                                 m_volCol,
                                 m_oiOn,
                                 m_oiCol,
                                 m_delimiter->button(0),
                                 m_delimiter->button(1),
                                 m_delimiter->button(2),
                                 m_delimiter->button(3),
                                 m_dateFormat,
                                 m_skipOn,
                                 m_skipRows,
                                 m_decimal,
                                 m_thousands,
                                 m_suffixes,
                                 m_detect,
                                 m_path,
                                 m_browse,
                                 useExisting,
                                 makeNew,
                                 m_symbol,
                                 m_name,
                                 m_ok,
                                 m_cancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    m_fields = {
        {m_openOn, m_openCol, m_spins[1], "1"}, {m_hiOn, m_hiCol, m_spins[2], "1"},
        {m_loOn, m_loCol, m_spins[3], "1"},     {m_volOn, m_volCol, m_spins[5], "1"},
        {m_oiOn, m_oiCol, m_spins[6], "1"},     {m_skipOn, m_skipRows, m_spins[7], "0"},
    };
    for (const OptionalField& field : m_fields) {
        connect(field.check, &QCheckBox::clicked, this,
                [this, field] { OnCheckBoxClicked(field); });
    }
    for (QLineEdit* box :
         {m_dateCol, m_openCol, m_hiCol, m_loCol, m_cloCol, m_volCol, m_oiCol, m_skipRows}) {
        connect(box, &QLineEdit::textChanged, this, &CSettingsDlg::OnSettingChanged);
    }
    for (QCheckBox* check : {m_openOn, m_hiOn, m_loOn, m_volOn, m_oiOn, m_skipOn, m_suffixes}) {
        connect(check, &QCheckBox::toggled, this, &CSettingsDlg::OnSettingChanged);
    }
    connect(m_delimiter, &QButtonGroup::idToggled, this, &CSettingsDlg::OnSettingChanged);
    connect(m_dateFormat, &QComboBox::editTextChanged, this, &CSettingsDlg::OnSettingChanged);
    for (QComboBox* combo : {m_decimal, m_thousands}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &CSettingsDlg::OnSettingChanged);
    }
    connect(m_detect, &QPushButton::clicked, this, &CSettingsDlg::OnDetect);
    connect(m_browse, &QPushButton::clicked, this, &CSettingsDlg::OnBrowse);
    connect(m_ok, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CSettingsDlg::reject);
}

void CSettingsDlg::SetValues(const SettingsValues& values) {
    m_values = values;
    ShowValues();
    for (const OptionalField& field : m_fields) EnableField(field, field.check->isChecked());
}

void CSettingsDlg::ShowValues() {
    const SettingsValues& v = m_values;
    ShowLayoutValues(v);
    m_path->setText(v.Path);
    CheckRadio(m_exist, v.Exist);
    m_symbol->setText(v.Symbol);
    m_name->setText(v.Name);
}

void CSettingsDlg::ShowLayoutValues(const SettingsValues& v) {
    m_dateCol->setText(QString::number(v.DateCol));
    m_openOn->setChecked(v.OpenOn != 0);
    m_openCol->setText(QString::number(v.OpenCol));
    m_hiOn->setChecked(v.HiOn != 0);
    m_hiCol->setText(QString::number(v.HiCol));
    m_loOn->setChecked(v.LoOn != 0);
    m_loCol->setText(QString::number(v.LoCol));
    m_cloCol->setText(QString::number(v.CloCol));
    m_volOn->setChecked(v.VolOn != 0);
    m_volCol->setText(QString::number(v.VolCol));
    m_oiOn->setChecked(v.OIOn != 0);
    m_oiCol->setText(QString::number(v.OICol));
    CheckRadio(m_delimiter, v.Delimiter);
    ShowDateFormat(v.DateFormat);
    m_skipOn->setChecked(v.SkipOn != 0);
    m_skipRows->setText(QString::number(v.SkipRows));
    // A hand-edited value out of range shows nothing chosen, as the radio
    // groups do.
    m_decimal->setCurrentIndex(v.Decimal >= 0 && v.Decimal < m_decimal->count() ? v.Decimal : -1);
    m_thousands->setCurrentIndex(
        v.Thousands >= 0 && v.Thousands < m_thousands->count() ? v.Thousands : -1);
    m_suffixes->setChecked(v.Suffixes != 0);
}

void CSettingsDlg::ShowDateFormat(const QString& text) {
    const int index = DateFormatIndex(text);
    if (index >= 0) {
        m_dateFormat->setCurrentIndex(index);
        m_dateFormat->setEditText(m_dateFormat->itemText(index));
    } else {
        m_dateFormat->setCurrentIndex(-1);
        m_dateFormat->setEditText(text);
    }
}

bool CSettingsDlg::ReadValues() {
    SettingsValues& v = m_values;
    v.HiOn = m_hiOn->isChecked() ? 1 : 0;
    v.LoOn = m_loOn->isChecked() ? 1 : 0;
    v.OIOn = m_oiOn->isChecked() ? 1 : 0;
    v.OpenOn = m_openOn->isChecked() ? 1 : 0;
    v.VolOn = m_volOn->isChecked() ? 1 : 0;
    if (!ReadNumber(m_dateCol, kFirstColumn, kLastColumn, v.DateCol)) return false;
    if (!ReadNumber(m_openCol, kFirstColumn, kLastColumn, v.OpenCol)) return false;
    if (!ReadNumber(m_hiCol, kFirstColumn, kLastColumn, v.HiCol)) return false;
    if (!ReadNumber(m_loCol, kFirstColumn, kLastColumn, v.LoCol)) return false;
    if (!ReadNumber(m_cloCol, kFirstColumn, kLastColumn, v.CloCol)) return false;
    if (!ReadNumber(m_volCol, kFirstColumn, kLastColumn, v.VolCol)) return false;
    if (!ReadNumber(m_oiCol, kFirstColumn, kLastColumn, v.OICol)) return false;
    v.Exist = m_exist->checkedId();
    if (!ReadText(m_name, m_name->text(), kMaxNameLength, v.Name)) return false;
    if (!ReadText(m_path, m_path->text(), kMaxPathLength, v.Path)) return false;
    if (!ReadText(m_symbol, m_symbol->text(), kMaxSymbolLength, v.Symbol)) return false;
    if (!ReadNumber(m_skipRows, 0, kMaxSkipRows, v.SkipRows)) return false;
    v.SkipOn = m_skipOn->isChecked() ? 1 : 0;
    v.Delimiter = m_delimiter->checkedId();
    v.Decimal = m_decimal->currentIndex();
    v.Thousands = m_thousands->currentIndex();
    v.Suffixes = m_suffixes->isChecked() ? 1 : 0;
    return ReadText(m_dateFormat, m_dateFormat->currentText(), kMaxDateFormatLength, v.DateFormat);
}

bool CSettingsDlg::ReadNumber(QLineEdit* box, int lower, int upper, int& value) {
    const std::optional<int> number = ParseWholeNumber(box->text());
    if (!number) {
        Refuse(box, NotANumberMessage(lower, upper));
        return false;
    }
    if (*number < lower || *number > upper) {
        Refuse(box, OutOfRangeMessage(lower, upper));
        return false;
    }
    value = *number;
    return true;
}

bool CSettingsDlg::ReadText(QWidget* control, const QString& text, int maxLength, QString& value) {
    if (text.size() > maxLength) {
        Refuse(control, TooLongMessage(maxLength));
        return false;
    }
    value = text;
    return true;
}

void CSettingsDlg::Refuse(QWidget* control, const QString& message) {
    m_messages.ShowMessage(message.toStdString());
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    }
}

void CSettingsDlg::EnableField(const OptionalField& field, bool on) {
    field.box->setEnabled(on);
    field.spin->setEnabled(on);
}

void CSettingsDlg::OnCheckBoxClicked(const OptionalField& field) {
    ReadValues();
    // The check box itself decides, not the value just read: when an earlier
    // control fails, the reading stops before "SkipOn" and its value is stale.
    const bool on = field.check->isChecked();
    EnableField(field, on);
    if (!on) field.box->setText(QString::fromLatin1(field.clearedText));
}

bool CSettingsDlg::HasDuplicateColumns() const {
    const SettingsValues& v = m_values;
    bool taken[kLastColumn + 1] = {};
    bool duplicate = false;
    auto enter = [&](int column) {
        if (column < kFirstColumn || column > kLastColumn) return;
        duplicate = duplicate || taken[column];
        taken[column] = true;
    };
    enter(v.DateCol);
    enter(v.CloCol);
    if (v.OpenOn) enter(v.OpenCol);
    if (v.HiOn) enter(v.HiCol);
    if (v.LoOn) enter(v.LoCol);
    if (v.VolOn) enter(v.VolCol);
    if (v.OIOn) enter(v.OICol);
    return duplicate;
}

void CSettingsDlg::accept() {
    if (!ReadValues()) return;
    if (HasDuplicateColumns()) {
        m_messages.ShowMessage(kDuplicateColumns);
        return;
    }
    if (SeparatorChar(NumberStyleOf(m_values).thousands) == (m_values.Decimal == 1 ? ',' : '.')) {
        m_messages.ShowMessage(kSeparatorIsDecimalMark);
        return;
    }
    m_values.Symbol = WithoutTrailingSpace(m_values.Symbol);
    if (m_values.Symbol.isEmpty()) {
        m_messages.ShowMessage(kNoSymbol);
        return;
    }
    m_values.Symbol = m_values.Symbol.toUpper();
    if (!IsValidNewSymbol(m_values.Symbol.toStdString())) {
        Refuse(m_symbol, QString::fromLatin1(kSymbolRule));
        return;
    }
    ShowValues();
    if (m_values.Path.trimmed().isEmpty()) {
        m_messages.ShowMessage(kNoPath);
        return;
    }
    m_receiver.SetDateFormat(m_dateFormat->currentIndex() + 1);
    ReadValues();
    QDialog::accept();
}

void CSettingsDlg::OnBrowse() {
    ReadValues();
    CChooseDir chooser(m_messages, m_path->text(), this);
    chooser.SetHelpHandler(m_helpHandler);
    if (chooser.exec() == QDialog::Accepted) {
        m_path->setText(chooser.ChosenDirectory());
        m_values.Path = m_path->text();
        m_ok->setFocus(Qt::OtherFocusReason);  // Enter now converts, not browses again
    }
}

void CSettingsDlg::SetInput(std::string text) {
    m_inputText = std::move(text);
    m_lines = SplitLines(m_inputText);
    m_hasInput = true;
    m_detect->setEnabled(true);
    m_note.clear();
    QString why;
    const std::optional<InputLayout> saved = ShownLayout(why);
    const LayoutDetection found = DetectLayout(m_lines);
    if (!saved || !FitsFirstLines(m_lines, *saved)) {
        // The detected layout is offered when it is sure of itself (a bad
        // row such as Yahoo's "null" is then the bad-rows question's to
        // judge) or reads those rows; otherwise the saved one stays and the
        // line says why not.
        if (found.AllDecided() || FitsFirstLines(m_lines, found.layout)) {
            ShowLayout(found.layout);
            m_note = QString::fromLatin1(kDetectedNote);
        }
    } else if (found.AllDecided() && !SameReading(*saved, found.layout)) {
        // Saved settings made for another export may read a file whole and
        // still take the wrong column (a dividend as the volume): the user
        // chose them, so they stay, but the line says Detect disagrees.
        m_note = QString::fromLatin1(kOtherReadingNote);
    }
    UpdateFirstRow();
}

void CSettingsDlg::ShowLayout(const InputLayout& layout) {
    SettingsValues v = m_values;
    PutLayout(layout, v);
    m_showingLayout = true;
    ShowLayoutValues(v);
    for (const OptionalField& field : m_fields) EnableField(field, field.check->isChecked());
    m_showingLayout = false;
}

// The layout as the controls show it, read without messages; nothing, and
// the reason in `why`, while a control holds no usable value.
std::optional<InputLayout> CSettingsDlg::ShownLayout(QString& why) const {
    SettingsValues v;
    const std::pair<QLineEdit*, int*> boxes[] = {
        {m_dateCol, &v.DateCol}, {m_openCol, &v.OpenCol},  {m_hiCol, &v.HiCol},
        {m_loCol, &v.LoCol},     {m_cloCol, &v.CloCol},    {m_volCol, &v.VolCol},
        {m_oiCol, &v.OICol},     {m_skipRows, &v.SkipRows}};
    for (const auto& [box, value] : boxes) *value = ParseWholeNumber(box->text()).value_or(0);
    v.OpenOn = m_openOn->isChecked();
    v.HiOn = m_hiOn->isChecked();
    v.LoOn = m_loOn->isChecked();
    v.VolOn = m_volOn->isChecked();
    v.OIOn = m_oiOn->isChecked();
    v.SkipOn = m_skipOn->isChecked();
    v.Delimiter = m_delimiter->checkedId();
    v.Decimal = m_decimal->currentIndex();
    v.Thousands = m_thousands->currentIndex();
    v.Suffixes = m_suffixes->isChecked();
    const int dateFormat = DateFormatIndex(m_dateFormat->currentText()) + 1;
    if (v.Delimiter < 0) {
        why = QStringLiteral("choose the delimiter.");
    } else if (dateFormat == 0 || m_dateFormat->currentText().isEmpty()) {
        why = QStringLiteral("choose a date format of the list.");
    } else if (v.Decimal < 0 || v.Thousands < 0) {
        why = QStringLiteral("choose the decimal mark and the thousands separator.");
    } else if (v.SkipOn && (v.SkipRows < 0 || v.SkipRows > kMaxSkipRows)) {
        why = QStringLiteral("the rows to skip are not a number from 0 to 200.");
    } else if (std::optional<InputLayout> layout = LayoutOf(v, dateFormat)) {
        return layout;
    } else {
        why = QStringLiteral("a column box holds no number from 1 to 20.");
    }
    return std::nullopt;
}

void CSettingsDlg::OnSettingChanged() {
    if (!m_showingLayout) m_note.clear();
    UpdateFirstRow();
}

void CSettingsDlg::OnDetect() {
    const LayoutDetection found = DetectLayout(m_lines);
    InputLayout layout = found.layout;
    // Not sure of the date format, it still shows the likeliest, not a
    // default that reads none of the dates.
    if (!found.Decided(LayoutPart::kDateFormat) && !found.dateFormatCandidates.empty())
        layout.dateFormat = found.dateFormatCandidates.front();
    ShowLayout(layout);
    m_note.clear();
    if (!found.AllDecided()) {
        QStringList notes;
        for (const std::string& note : found.notes) notes << QString::fromStdString(note);
        if (!found.Decided(LayoutPart::kDateFormat) && !found.dateFormatCandidates.empty()) {
            QStringList names;
            for (int format : found.dateFormatCandidates) {
                const std::string_view name =
                    kDateFormatNames[static_cast<std::size_t>(format - 1)];
                names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
            }
            notes << QStringLiteral("date format ") + names.join(QStringLiteral(" or "));
        }
        m_note = QStringLiteral("Not sure: ") + notes.join(QStringLiteral("; ")) +
                 QStringLiteral(". Check the settings.");
    }
    UpdateFirstRow();
}

void CSettingsDlg::UpdateFirstRow() {
    if (m_firstRow == nullptr || !m_hasInput) return;
    QString why;
    const std::optional<InputLayout> layout = ShownLayout(why);
    QString text = layout ? FirstRowText(m_lines, *layout) : QStringLiteral("First row: ") + why;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_firstRow->setText(m_note.isEmpty() ? text : m_note + QLatin1Char('\n') + text);
    FitHeight(m_firstRow);
}

void CSettingsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_focusOkOnShow && !event->spontaneous()) {
        m_focusOkOnShow = false;
        m_ok->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace corvat
