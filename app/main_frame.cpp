#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>

#include "app_ids.h"
#include "app_strings.h"
#include "choose_dir.h"
#include "control_id.h"
#include "corvat_view.h"
#include "help_window.h"
#include "recent_file_list.h"
#include "settings_dlg.h"
#include "window_placement.h"

namespace corvat {

namespace {

QString Text(int id) {
    const char* text = AppString(id);
    return text ? QString::fromLatin1(text) : QString();
}

// A command string reads "status-bar prompt\ntooltip".
QString Prompt(int id) { return Text(id).section(QLatin1Char('\n'), 0, 0); }

QString TipText(int id) { return Text(id).section(QLatin1Char('\n'), 1, 1); }

void SetActionId(QAction* action, int id) {
    action->setProperty(kControlIdProperty, id);
    action->setObjectName(QStringLiteral("id%1").arg(id));
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    PreCreateWindow();
    OnCreate();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::PreCreateWindow() {
    // The caption never names the opened file.
    setWindowTitle(Text(AFX_IDS_APP_TITLE));

    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/corvat_32.xpm"));
    icon.addFile(QStringLiteral(":/icons/corvat_16.xpm"));
    setWindowIcon(icon);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const WindowPlacement placement = MainWindowPlacement(area.width(), area.height());
    resize(placement.width, placement.height);
    move(area.x() + placement.x, area.y() + placement.y);
}

QAction* CMainFrame::AddCommand(int commandId, const QString& text,
                                const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, this);
    SetActionId(action, commandId);
    action->setStatusTip(Prompt(commandId));
    const QString tip = TipText(commandId);
    if (!tip.isEmpty()) {
        action->setToolTip(tip);
        action->setIconText(tip);
    }
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        // Accelerators work wherever the focus is in the main window.
        addAction(action);
    }
    m_actions.insert(commandId, action);
    return action;
}

bool CMainFrame::OnCreate() {
    // Commands. Those with only keys and no menu item are the accelerators
    // that have nothing to do here: the log cannot be edited and the
    // document has nothing to save, so they must change nothing.
    QAction* open = AddCommand(ID_FILE_OPEN, QStringLiteral("&Open...\tCtrl+O"),
                               {QKeySequence(Qt::CTRL | Qt::Key_O)});
    open->setIcon(QIcon(QStringLiteral(":/icons/toolbar_open.xpm")));
    QAction* settings = AddCommand(ID_SETTINGS, QStringLiteral("Settings..."));
    settings->setIcon(QIcon(QStringLiteral(":/icons/toolbar_settings.xpm")));
    settings->setEnabled(false);
    QAction* remove = AddCommand(ID_REMOVE_SECURITY, QStringLiteral("&Remove Security\u2026"));
    QAction* exit = AddCommand(ID_APP_EXIT, QStringLiteral("E&xit"));
    QAction* clear = AddCommand(ID_CLEAR_WINDOW, QStringLiteral("&Clear Window"));
    QAction* helpTopics = AddCommand(ID_HELP_FINDER, QStringLiteral("&Help Topics"));
    QAction* about = AddCommand(ID_APP_ABOUT, QStringLiteral("&About Corvat..."));
    about->setIcon(QIcon(QStringLiteral(":/icons/toolbar_about.xpm")));

    AddCommand(ID_FILE_NEW, QStringLiteral("&New"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    AddCommand(ID_FILE_SAVE, QStringLiteral("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AddCommand(ID_EDIT_UNDO, QStringLiteral("&Undo"),
               {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    AddCommand(ID_EDIT_CUT, QStringLiteral("Cu&t"),
               {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    QAction* copy =
        AddCommand(ID_EDIT_COPY, QStringLiteral("&Copy"),
                   {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(ID_EDIT_PASTE, QStringLiteral("&Paste"),
               {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    AddCommand(ID_NEXT_PANE, QStringLiteral("Next Pane"), {QKeySequence(Qt::Key_F6)});
    AddCommand(ID_PREV_PANE, QStringLiteral("Previous Pane"),
               {QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    QAction* contextHelp = AddCommand(ID_CONTEXT_HELP, QStringLiteral("What's This?"),
                                      {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    QAction* help = AddCommand(ID_HELP, QStringLiteral("Help"), {QKeySequence(Qt::Key_F1)});

    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(helpTopics, &QAction::triggered, this, &CMainFrame::OnHelpFinder);
    connect(help, &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(contextHelp, &QAction::triggered, this, &CMainFrame::OnContextHelp);
    connect(copy, &QAction::triggered, this, [this] {
        if (m_view) {
            m_view->copy();
        }
    });

    // Menu 128.
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->addAction(open);
    m_fileMenu->addAction(settings);
    m_fileMenu->addAction(remove);
    m_fileMenu->addSeparator();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* recent = AddCommand(ID_FILE_MRU_FILE1 + i, QStringLiteral("Recent File"));
        connect(recent, &QAction::triggered, this, [this, i] { emit RecentFileChosen(i); });
        m_recentActions.append(recent);
        m_fileMenu->addAction(recent);
    }
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(exit);
    connect(m_fileMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu->addAction(clear);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->addAction(helpTopics);
    helpMenu->addSeparator();
    helpMenu->addAction(about);

    // Toolbar 128: Open, Settings, a gap, About.
    m_toolBar = new QToolBar(QStringLiteral("Standard"), this);
    SetControlId(m_toolBar, AFX_IDW_TOOLBAR);
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->addAction(open);
    m_toolBar->addAction(settings);
    m_toolBar->addSeparator();
    m_toolBar->addAction(about);
    m_toolBar->setWhatsThis(
        tr("The toolbar: Open a text file, convert it again with other Settings, and About "
           "Corvat."));
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // One pane: the idle message, covered by a command's prompt while the
    // command is highlighted.
    QStatusBar* bar = statusBar();
    SetControlId(bar, AFX_IDW_STATUS_BAR);
    m_idlePane = new QLabel(Text(AFX_IDS_IDLEMESSAGE), bar);
    bar->addWidget(m_idlePane, 1);
    m_cancelWait = new QPushButton(tr("Cancel"), bar);
    m_cancelWait->setToolTip(tr("Stop waiting and convert nothing"));
    m_cancelWait->hide();
    bar->addPermanentWidget(m_cancelWait);
    bar->setWhatsThis(tr("The status bar: describes the command under the pointer."));

    SetRecentFiles(RecentFileList());
    return true;
}

void CMainFrame::SetView(CCorvatView* view) {
    m_view = view;
    setCentralWidget(view);
    connect(view, &CCorvatView::CommandStateChanged, this, &CMainFrame::UpdateCommandUi);
    connect(Action(ID_SETTINGS), &QAction::triggered, view, &CCorvatView::OnSettings);
    connect(Action(ID_CLEAR_WINDOW), &QAction::triggered, view, &CCorvatView::OnClearWindow);
    connect(Action(ID_REMOVE_SECURITY), &QAction::triggered, view, &CCorvatView::OnRemoveSecurity);
    connect(view, &CCorvatView::WaitingStarted, this, &CMainFrame::OnWaitingStarted);
    connect(view, &CCorvatView::WaitingEnded, this, &CMainFrame::OnWaitingEnded);
    connect(m_cancelWait, &QPushButton::clicked, view, &CCorvatView::CancelWaiting);
    view->SetSettingsHelp([this] { OnHelp(); });
    view->setFocus();
    UpdateCommandUi();
}

void CMainFrame::SetRecentFiles(const RecentFileList& files) {
    if (files.Size() == 0) {
        // The placeholder stands, greyed, until a file has been opened.
        QAction* placeholder = m_recentActions.front();
        placeholder->setText(QStringLiteral("Recent File"));
        placeholder->setVisible(true);
        placeholder->setEnabled(false);
        for (int i = 1; i < m_recentActions.size(); ++i) {
            m_recentActions[i]->setVisible(false);
        }
        return;
    }
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* entry = m_recentActions[i];
        const bool used = i < files.Size();
        entry->setVisible(used);
        entry->setEnabled(used);
        entry->setText(used ? files.MenuText(i) : QString());
    }
}

void CMainFrame::OnWaitingStarted(const QString& text) {
    // A second conversion, or leaving the program, would start while this
    // one is still inside its run.
    for (QAction* action : m_fileMenu->actions()) {
        if (!action->isEnabled()) continue;
        action->setEnabled(false);
        m_disabledWhileWaiting.append(action);
    }
    m_toolBar->setEnabled(false);
    statusBar()->showMessage(text);
    m_cancelWait->show();
    m_waiting = true;
}

void CMainFrame::OnWaitingEnded() {
    m_waiting = false;
    if (m_closeAfterWaiting) {
        // The run is still unwinding; the close comes once it has returned.
        m_closeAfterWaiting = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    m_cancelWait->hide();
    statusBar()->clearMessage();
    m_toolBar->setEnabled(true);
    for (QAction* action : m_disabledWhileWaiting) action->setEnabled(true);
    m_disabledWhileWaiting.clear();
    UpdateCommandUi();
}

void CMainFrame::UpdateCommandUi() {
    if (m_view) {
        m_view->OnUpdateSettings(*Action(ID_SETTINGS));
    }
}

QString CMainFrame::ContextTopic() {
    QWidget* modal = QApplication::activeModalWidget();
    if (qobject_cast<CChooseDir*>(modal)) {
        return QString::fromLatin1(kHelpChooseDir);
    }
    if (qobject_cast<CSettingsDlg*>(modal)) {
        return QString::fromLatin1(kHelpSettings);
    }
    return QString::fromLatin1(kHelpMainWindow);
}

void CMainFrame::ShowHelp(const QString& topic) {
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = this;
    }
    // A modal dialog blocks every window but its own, so the help window is
    // moved to whichever window is asking.
    if (!m_help) {
        m_help = new HelpWindow(owner);
    } else if (m_help->parentWidget() != owner) {
        m_help->setParent(owner, Qt::Window);
    }
    m_help->ShowTopic(topic);
}

void CMainFrame::OnHelpFinder() { ShowHelp(QString::fromLatin1(kHelpContents)); }

void CMainFrame::OnHelp() { ShowHelp(ContextTopic()); }

void CMainFrame::OnContextHelp() {
    QWhatsThis::enterWhatsThisMode();
    statusBar()->showMessage(Text(AFX_IDS_HELPMODEMESSAGE));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_waiting && m_view) {
        m_closeAfterWaiting = true;
        m_view->CancelWaiting();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::LeaveWhatsThisMode) {
        statusBar()->clearMessage();
    }
    return QMainWindow::event(event);
}

}  // namespace corvat
