#include "corvat_view.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QInputDialog>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include "choose_dir.h"
#include "converter.h"
#include "converter_setup.h"
#include "preview_reader.h"
#include "profile_store.h"
#include "security_removal.h"
#include "security_update.h"
#include "settings_dlg.h"

namespace corvat {

const QString CCorvatView::kSuccessText = QStringLiteral("\r\nConversion completed successfully!");
const QString CCorvatView::kFailureText = QStringLiteral("\r\nConversion failed.");
const QString CCorvatView::kCancelledText = QStringLiteral("\r\nConversion cancelled.");

namespace {

// Holds the wait cursor for as long as a conversion runs, and gives the
// normal one back however the run ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Passes every message on to the user and writes it into the log as well,
// so that the log tells what happened before its outcome line.
class LoggingSink final : public MessageSink {
public:
    LoggingSink(MessageSink& inner, CCorvatView& view) : m_inner(inner), m_view(view) {}

    void ShowMessage(const std::string& text) override {
        Log(text);
        m_inner.ShowMessage(text);
    }
    bool AskYesNo(const std::string& text) override {
        return Answered(text, m_inner.AskYesNo(text));
    }
    bool AskYesNoDefaultNo(const std::string& text) override {
        return Answered(text, m_inner.AskYesNoDefaultNo(text));
    }

private:
    void Log(const std::string& text) {
        m_view.AppendText(QStringLiteral("\r\n") + QString::fromStdString(text));
    }
    bool Answered(const std::string& question, bool yes) {
        Log(question + (yes ? " Yes" : " No"));
        return yes;
    }

    MessageSink& m_inner;
    CCorvatView& m_view;
};

}  // namespace

// Waits with the window alive: its events are handled between tries, and
// only Cancel ends the wait early; there is no time limit.
class WindowLockWaiter final : public LockWaiter {
public:
    explicit WindowLockWaiter(CCorvatView& view) : m_view(view) { m_view.m_cancelWaiting = false; }
    ~WindowLockWaiter() override {
        if (m_waiting) emit m_view.WaitingEnded();
    }
    WindowLockWaiter(const WindowLockWaiter&) = delete;
    WindowLockWaiter& operator=(const WindowLockWaiter&) = delete;

    void StartWaiting(const std::filesystem::path& dir) override {
        if (!m_waiting) emit m_view.WaitingStarted(QString::fromStdString(WaitingText(dir)));
        m_waiting = true;
    }

    bool KeepWaiting() override {
        constexpr int kPauseMs = 100;
        QEventLoop pause;
        QTimer::singleShot(kPauseMs, &pause, &QEventLoop::quit);
        pause.exec();
        return !m_view.m_cancelWaiting;
    }
    bool StoppedByUser() const override { return m_view.m_cancelWaiting; }

private:
    CCorvatView& m_view;
    bool m_waiting = false;
};

CCorvatView::CCorvatView(ProfileStore& profile, MessageSinkFactory makeMessageSink, QWidget* parent)
    : QPlainTextEdit(parent),
      m_profile(profile),
      m_makeMessageSink(std::move(makeMessageSink)),
      m_beep([] { QApplication::beep(); }) {
    // Long lines wrap at the right edge instead of scrolling sideways; the
    // user may select and copy but never type, and nothing is undoable.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Columns of a price file line up only in a fixed-pitch font.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setWhatsThis(
        tr("The log. It shows the first lines of the file you opened, so that you can see "
           "which column holds which field, and one line with the outcome of each "
           "conversion. You can select and copy its text."));
}

CCorvatView::~CCorvatView() = default;

void CCorvatView::AppendText(const QString& text) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    ensureCursorVisible();
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cursor.insertText(plain);
    setTextCursor(cursor);
    ensureCursorVisible();
    // The log is never a document to save.
    document()->setModified(false);
}

int CCorvatView::OnPreviewFile() {
    emit CommandStateChanged();
    QFile file(m_strInputPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // The open step read it a moment ago; if it has gone since, say so
        // rather than ask for settings that cannot be used.
        m_makeMessageSink(window())->ShowMessage(
            tr("Cannot read %1:\n%2.")
                .arg(QDir::toNativeSeparators(m_strInputPath), file.errorString())
                .toStdString());
        return 0;
    }

    setUpdatesEnabled(false);
    clear();
    AppendText(QStringLiteral("To help you with the conversion settings, your file...\r\n\r\n\t") +
               QDir::toNativeSeparators(m_strInputPath) +
               QStringLiteral("\r\n\r\nlooks like this...\r\n\r\n"));
    const QStringList lines = ReadPreviewLines(file);
    for (const QString& line : lines) {
        AppendText(line);
        AppendText(QStringLiteral("\r\n"));
    }
    file.close();
    setUpdatesEnabled(true);

    RunConversionFlow();
    return 0;
}

void CCorvatView::OnSettings() {
    if (m_strInputPath.isEmpty()) {
        return;  // the command is disabled until a file has been opened
    }
    RunConversionFlow();
}

void CCorvatView::OnUpdateSettings(QAction& action) const {
    action.setEnabled(!m_strInputPath.isEmpty());
}

void CCorvatView::OnClearWindow() {
    clear();
    document()->setModified(false);
}

void CCorvatView::RunConversionFlow() {
    const std::unique_ptr<MessageSink> messages = m_makeMessageSink(window());
    CSettingsDlg dialog(*messages, *this, window());
    if (m_settingsHelp) {
        dialog.SetHelpHandler(m_settingsHelp);
    }
    SettingsValues shown = m_profile.LoadSettings();
    if (m_typedBeforeFailure) {
        shown.Path = m_typedBeforeFailure->Path;
        shown.Symbol = m_typedBeforeFailure->Symbol;
        shown.Name = m_typedBeforeFailure->Name;
    }
    dialog.SetValues(shown);
    // Detection and the first-row line need the file; one that cannot be
    // read now is reported by the conversion itself.
    if (QFile input(m_strInputPath); input.open(QIODevice::ReadOnly)) {
        dialog.SetInput(input.readAll().toStdString());
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }

    const SettingsValues values = dialog.Values();
    m_profile.SaveSettings(values);

    const WaitCursor wait;
    int result = 1;
    QString outcome = kSuccessText;
    long leftOut = 0;
    bool cancelled = false;
    {
        WindowLockWaiter waiter(*this);
        LoggingSink logged(*messages, *this);
        CConverter job(logged, m_profile, RealFileSystem());
        job.SetLockWaiter(waiter);
        FillConverter(job, values, m_strInputPath, m_nDateFormat);
        result = job.Run();
        cancelled = result != 0 && waiter.StoppedByUser();
        leftOut = job.RowsLeftOut();
        if (const auto& update = job.UpdateResult()) {
            outcome = QStringLiteral("\r\n") +
                      QString::fromStdString(UpdateOutcome(job.m_szSymbol, *update));
        }
    }
    if (result == 0) {
        m_typedBeforeFailure.reset();
        AppendText(outcome);
        if (leftOut > 0) {
            AppendText(leftOut == 1 ? tr("\r\n1 row left out.")
                                    : tr("\r\n%1 rows left out.").arg(leftOut));
        }
        m_beep();
    } else {
        m_typedBeforeFailure = values;
        AppendText(cancelled ? kCancelledText : kFailureText);
    }
}

void CCorvatView::OnRemoveSecurity() {
    const std::unique_ptr<MessageSink> messages = m_makeMessageSink(window());
    CChooseDir chooser(*messages, m_profile.LoadSettings().Path, window());
    if (chooser.exec() != QDialog::Accepted) return;
    const QString dir = chooser.ChosenDirectory();
    // The directory's own symbols to choose from; one it does not hold is
    // refused before the confirmation, which would otherwise ask in vain.
    DirectoryIndex index;
    ReadDirectoryIndex(RealFileSystem(), QFile::encodeName(dir).toStdString(), index);
    QStringList symbols;
    for (const IndexedSecurity& security : index.Securities())
        symbols << QString::fromStdString(security.symbol);
    bool ok = false;
    // Symbols are stored in capitals, and blanks around one are a slip.
    const QString symbol =
        QInputDialog::getItem(
            window(), tr("Remove Security"),
            tr("Symbol of the security to remove from %1:").arg(QDir::toNativeSeparators(dir)),
            symbols, 0, true, &ok)
            .trimmed()
            .toUpper();
    if (!ok || symbol.isEmpty()) return;

    LoggingSink logged(*messages, *this);
    if (index.error.empty() && !FindOwnSecurity(index, symbol.toStdString())) {
        logged.ShowMessage(
            tr("%1 is not in %2.").arg(symbol, QDir::toNativeSeparators(dir)).toStdString());
        AppendText(tr("\r\nRemoval failed."));
        return;
    }
    const QString question = tr("Remove %1 from %2?\nIts data files are deleted.")
                                 .arg(symbol, QDir::toNativeSeparators(dir));
    if (!logged.AskYesNoDefaultNo(question.toStdString())) return;

    const WaitCursor wait;
    WindowLockWaiter waiter(*this);
    SecurityRemoval removal(logged, RealFileSystem());
    removal.SetLockWaiter(waiter);
    removal.m_dir = QFile::encodeName(dir).toStdString();
    removal.m_symbols = {symbol.toStdString()};
    const int result = removal.Run();
    for (const auto& removed : removal.RemovedSecurities()) {
        AppendText(tr("\r\n%1: removed, file number %2")
                       .arg(QString::fromStdString(removed.symbol))
                       .arg(removed.fileNumber));
    }
    if (result != 0) {
        AppendText(waiter.StoppedByUser() ? tr("\r\nRemoval cancelled.")
                                          : tr("\r\nRemoval failed."));
    }
}

}  // namespace corvat
