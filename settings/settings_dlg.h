#pragma once

#include <QDialog>
#include <functional>

#include "date_format_receiver.h"
#include "message_sink.h"
#include "settings_values.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvat {

class LimitedLineEdit;
class UpDownControl;

// "Conversion Settings": the user's choices for one conversion, checked before
// the dialog may close with OK. Messages go through the MessageSink; the date
// format number goes to the DateFormatReceiver on a successful OK only.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CSettingsDlg(MessageSink& messages, DateFormatReceiver& receiver, QWidget* parent = nullptr);

    // Before exec(): shows the values in the controls.
    void SetValues(const SettingsValues& values);
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
    LimitedLineEdit* m_path = nullptr;
    LimitedLineEdit* m_symbol = nullptr;
    LimitedLineEdit* m_name = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    std::vector<OptionalField> m_fields;
};

}  // namespace corvat
