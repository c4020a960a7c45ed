#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "help_window.h"

class QLabel;
class QMenu;
class QPushButton;
class QToolBar;

namespace corvat {

class CCorvatView;
class RecentFileList;

// The main window: menu, toolbar, one-pane status bar and the log view.
// Its caption is always "Corvat"; it opens at 85 % of the screen, centred.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    void SetView(CCorvatView* view);
    CCorvatView* ActiveView() const { return m_view; }

    // The action of a command id (menu item, toolbar button or accelerator),
    // nullptr for an id the window does not know.
    QAction* Action(int commandId) const { return m_actions.value(commandId); }
    QToolBar* ToolBar() const { return m_toolBar; }
    QLabel* IdlePane() const { return m_idlePane; }
    HelpWindow* Help() const { return m_help; }
    // Shown in the status bar while a conversion waits for its directory.
    QPushButton* CancelWaitButton() const { return m_cancelWait; }

    // Refreshes the recent-file part of the File menu.
    void SetRecentFiles(const RecentFileList& files);
    // Brings the enabled state of the commands up to date.
    void UpdateCommandUi();

    // Opens the help at a page of the help set; from inside a modal dialog
    // the help window belongs to that dialog so that it can be used there.
    void ShowHelp(const QString& topic);
    // The help page for what the user is doing: the open dialog's, or the
    // main window's.
    static QString ContextTopic();

    void OnHelpFinder();
    void OnHelp();
    void OnContextHelp();

signals:
    void RecentFileChosen(int index);

protected:
    bool event(QEvent* event) override;
    // While a run waits for its directory, closing stops the wait first and
    // closes once the run has ended, so nothing is written after the close.
    void closeEvent(QCloseEvent* event) override;

private:
    void PreCreateWindow();
    bool OnCreate();
    void OnWaitingStarted(const QString& text);
    void OnWaitingEnded();
    QAction* AddCommand(int commandId, const QString& text, const QList<QKeySequence>& keys = {});

    CCorvatView* m_view = nullptr;
    QHash<int, QAction*> m_actions;
    QList<QAction*> m_recentActions;
    QMenu* m_fileMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_idlePane = nullptr;
    QPushButton* m_cancelWait = nullptr;
    QList<QAction*> m_disabledWhileWaiting;
    bool m_waiting = false;
    bool m_closeAfterWaiting = false;
    QPointer<HelpWindow> m_help;
};

}  // namespace corvat
