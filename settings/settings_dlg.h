#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date_format_receiver.h"
#include "input_rows.h"
#include "message_sink.h"
#include "settings_values.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvat {

class LimitedLineEdit;
class UpDownControl;

// "Conversion Settings": the user's choices for one conversion, checked before
// the dialog may close with OK. Messages go through the MessageSink; the date
// format number goes to the DateFormatReceiver on a successful OK only.
// Given the opened file's text, it shows how the first row reads with the
// settings as they stand and can detect the file's layout.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CSettingsDlg(MessageSink& messages, DateFormatReceiver& receiver, QWidget* parent = nullptr);

    // Before exec(): shows the values in the controls.
    void SetValues(const SettingsValues& values);
    // After SetValues: the opened file's text. When the values do not read
    // its first rows and the detected layout does, the detected one is shown.
    void SetInput(std::string text);

    // After OK: the values exactly as the controls show them.
    SettingsValues Values() const { return m_values; }

    // F1 calls it (the desktop program opens its help topic).
    void SetHelpHandler(std::function<void()> handler);

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // One check box with the number box and up-down control it governs.
    struct OptionalField {
        QCheckBox* check;
        QLineEdit* box;
        UpDownControl* spin;
        const char* clearedText;
    };

    void BuildControls();
    QLineEdit* NewNumberBox(int id, int spinId, int lower, int upper, UpDownControl** spin);

    void ShowValues();
    void ShowLayoutValues(const SettingsValues& v);
    void ShowLayout(const InputLayout& layout);
    std::optional<InputLayout> ShownLayout(QString& why) const;
    void OnSettingChanged();
    void OnDetect();
    void UpdateFirstRow();
    bool ReadValues();
    bool ReadNumber(QLineEdit* box, int lower, int upper, int& value);
    bool ReadText(QWidget* control, const QString& text, int maxLength, QString& value);
    void Refuse(QWidget* control, const QString& message);
    void ShowDateFormat(const QString& text);
    void EnableField(const OptionalField& field, bool on);
    void OnCheckBoxClicked(const OptionalField& field);
    void OnBrowse();
    bool HasDuplicateColumns() const;

    MessageSink& m_messages;
    DateFormatReceiver& m_receiver;
    std::function<void()> m_helpHandler;
    SettingsValues m_values;
    bool m_focusOkOnShow = true;
    std::string m_inputText;
    std::vector<std::string_view> m_lines;  // of m_inputText
    bool m_hasInput = false;
    bool m_showingLayout = false;
    QString m_note;  // what the last detection said, until a setting changes

    QLineEdit* m_dateCol = nullptr;
    QLineEdit* m_openCol = nullptr;
    QLineEdit* m_hiCol = nullptr;
    QLineEdit* m_loCol = nullptr;
    QLineEdit* m_cloCol = nullptr;
    QLineEdit* m_volCol = nullptr;
    QLineEdit* m_oiCol = nullptr;
    QLineEdit* m_skipRows = nullptr;
    UpDownControl* m_spins[8] = {};
    QCheckBox* m_openOn = nullptr;
    QCheckBox* m_hiOn = nullptr;
    QCheckBox* m_loOn = nullptr;
    QCheckBox* m_volOn = nullptr;
    QCheckBox* m_oiOn = nullptr;
    QCheckBox* m_skipOn = nullptr;
    QButtonGroup* m_delimiter = nullptr;
    QButtonGroup* m_exist = nullptr;
    QComboBox* m_dateFormat = nullptr;
    QComboBox* m_decimal = nullptr;
    QComboBox* m_thousands = nullptr;
    QCheckBox* m_suffixes = nullptr;
    QPushButton* m_detect = nullptr;
    QLabel* m_firstRow = nullptr;
    LimitedLineEdit* m_path = nullptr;
    LimitedLineEdit* m_symbol = nullptr;
    LimitedLineEdit* m_name = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    std::vector<OptionalField> m_fields;
};

}  // namespace corvat
