#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <functional>
#include <optional>

#include "date_format_receiver.h"
#include "message_sink_factory.h"
#include "settings_values.h"

class QAction;

namespace corvat {

class ProfileStore;

// The log: the main window's only content. It previews the file just opened
// and owns the conversion flow (settings dialog, profile, conversion job),
// writing one outcome line per conversion.
class CCorvatView : public QPlainTextEdit, public DateFormatReceiver {
    Q_OBJECT

public:
    CCorvatView(ProfileStore& profile, MessageSinkFactory makeMessageSink,
                QWidget* parent = nullptr);
    ~CCorvatView() override;

    // Called after a successful conversion; the information sound by default.
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }
    // What F1 does inside the settings dialog.
    void SetSettingsHelp(std::function<void()> help) { m_settingsHelp = std::move(help); }

    void SetDateFormat(int number) override { m_nDateFormat = number; }

    // Adds text at the end of the log and scrolls it into view. "\r\n"
    // becomes an ordinary line break; nothing enters an undo history.
    void AppendText(const QString& text);

    // Shows the first lines of m_strInputPath, then runs the conversion flow.
    int OnPreviewFile();
    // Converts m_strInputPath again, without a new preview.
    void OnSettings();
    void OnUpdateSettings(QAction& action) const;
    void OnClearWindow();
    // File > Remove Security: asks for the directory, the symbol and a
    // confirmation, then takes the security out, waiting like a conversion.
    void OnRemoveSecurity();

    // Set by the document when a file has been opened; never cleared.
    QString m_strInputPath;
    // The date format number the settings dialog stored on its last OK.
    int m_nDateFormat = 1;

    // Gives up waiting for a data directory another program is writing to.
    void CancelWaiting() { m_cancelWaiting = true; }

    static const QString kSuccessText;
    static const QString kFailureText;
    static const QString kCancelledText;

signals:
    // The state of the Settings command may have changed.
    void CommandStateChanged();
    // A conversion waits for another program writing to its directory: the
    // window says `text`, offers Cancel and takes no other command, until
    // WaitingEnded.
    void WaitingStarted(const QString& text);
    void WaitingEnded();

private:
    void RunConversionFlow();

    ProfileStore& m_profile;
    MessageSinkFactory m_makeMessageSink;
    std::function<void()> m_beep;
    std::function<void()> m_settingsHelp;
    bool m_cancelWaiting = false;
    // What the user typed for a conversion that failed: the next dialog
    // offers it again while the program runs, and only a conversion that
    // succeeds writes path, symbol and name to the profile.
    std::optional<SettingsValues> m_typedBeforeFailure;

    friend class WindowLockWaiter;
};

}  // namespace corvat
