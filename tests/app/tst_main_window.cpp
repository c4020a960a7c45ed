// The main window as the user meets it: caption, place, menus, toolbar,
// status bar, accelerators, help and the About box.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <QtTest>

#include "about_dlg.h"
#include "app_ids.h"
#include "app_test_support.h"
#include "control_id.h"
#include "corvat_app.h"
#include "corvat_view.h"
#include "help_window.h"
#include "main_frame.h"
#include "settings_dlg.h"
#include "settings_ids.h"
#include "window_placement.h"

using namespace corvat;
using namespace corvat::test;

namespace {

struct MenuItem {
    QString text;
    int id;  // 0 for a separator
    bool enabled;
};

QList<MenuItem> Items(QMenu* menu) {
    QList<MenuItem> items;
    for (QAction* action : menu->actions()) {
        if (!action->isVisible()) {
            continue;
        }
        items.append({action->isSeparator() ? QString() : action->text(),
                      action->property(kControlIdProperty).toInt(), action->isEnabled()});
    }
    return items;
}

QString FileBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAtEightyFivePercentCentred();
    void captionStaysCorvatAfterOpen();
    void menusHaveTheirItemsOrderAndStates();
    void toolbarHasOpenSettingsGapAbout();
    void statusBarHasOnePaneWithIdleTextAndPrompts();
    void settingsCommandFollowsTheFirstOpen();
    void editingKeysChangeNothing();
    void copyKeysCopySelectedLogAndNewEmptiesIt();
    void helpModeShowsItsPrompt();
    void helpOpensContentsAndContextTopics();
    void helpPagesCoverTheSubjects();
    void aboutBoxShowsItsLinesAndNotice();

private:
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<CCorvatApp> m_app;
    CMainFrame* Frame() const { return m_app->MainFrame(); }
    void OpenFile(const QString& path);
    void OpenCancelled(const QString& path);
};

void MainWindowTest::init() {
    m_ws = std::make_unique<Workspace>();
    m_app = std::make_unique<CCorvatApp>(m_ws->Services());
    QVERIFY(m_app->InitInstance({QStringLiteral("corvat")}));
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
}

void MainWindowTest::cleanup() {
    m_app.reset();
    m_ws.reset();
}

// Opens a file through File > Open.
void MainWindowTest::OpenFile(const QString& path) {
    m_ws->filesToOpen = {path};
    Frame()->Action(ID_FILE_OPEN)->trigger();
    // Keys reach the accelerators only while the main window is active again.
    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
}

// Opens a file and cancels the settings dialog.
void MainWindowTest::OpenCancelled(const QString& path) {
    WhenModalOpens(Cancel);
    OpenFile(path);
}

void MainWindowTest::opensAtEightyFivePercentCentred() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const WindowPlacement p = MainWindowPlacement(screen.width(), screen.height());
    QCOMPARE(Frame()->size(), QSize(p.width, p.height));
    QCOMPARE(Frame()->pos(), QPoint(screen.x() + p.x, screen.y() + p.y));
}

void MainWindowTest::captionStaysCorvatAfterOpen() {
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("Corvat"));
    OpenCancelled(m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3)));
    QVERIFY(!m_app->View()->m_strInputPath.isEmpty());
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("Corvat"));
    QVERIFY(Frame()->windowFilePath().isEmpty());
}

void MainWindowTest::menusHaveTheirItemsOrderAndStates() {
    // Each item as "text id state"; a separator is " 0 on".
    QStringList items;
    for (QAction* menu : Frame()->menuBar()->actions()) {
        items << menu->text();
        for (const MenuItem& item : Items(menu->menu())) {
            items << QStringLiteral("%1 %2 %3").arg(item.text).arg(item.id).arg(
                         item.enabled ? "on" : "off");
        }
    }
    const auto item = [](const char* text, int id, bool on = true) {
        return QStringLiteral("%1 %2 %3").arg(QLatin1String(text)).arg(id).arg(on ? "on" : "off");
    };
    QCOMPARE(items, (QStringList{"&File", item("&Open...\tCtrl+O", ID_FILE_OPEN),
                                 item("Settings...", ID_SETTINGS, false), item("", 0),
                                 item("Recent File", ID_FILE_MRU_FILE1, false), item("", 0),
                                 item("E&xit", ID_APP_EXIT), "&View",
                                 item("&Clear Window", ID_CLEAR_WINDOW), "&Help",
                                 item("&Help Topics", ID_HELP_FINDER), item("", 0),
                                 item("&About Corvat...", ID_APP_ABOUT)}));
}

void MainWindowTest::toolbarHasOpenSettingsGapAbout() {
    QToolBar* bar = Frame()->ToolBar();
    QCOMPARE(ControlId(bar), AFX_IDW_TOOLBAR);
    QCOMPARE(Frame()->toolBarArea(bar), Qt::TopToolBarArea);
    const QList<QAction*> buttons = bar->actions();
    QCOMPARE(buttons.size(), 4);
    QCOMPARE(buttons[0]->property(kControlIdProperty).toInt(), ID_FILE_OPEN);
    QCOMPARE(buttons[1]->property(kControlIdProperty).toInt(), ID_SETTINGS);
    QVERIFY(buttons[2]->isSeparator());
    QCOMPARE(buttons[3]->property(kControlIdProperty).toInt(), ID_APP_ABOUT);
    const QStringList tips{"Open", "Settings", "", "About"};
    for (int i = 0; i < buttons.size(); ++i) {
        if (!buttons[i]->isSeparator()) {
            QCOMPARE(buttons[i]->toolTip(), tips[i]);
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(buttons[i]));
            QVERIFY(button);
            QVERIFY(!button->icon().isNull());
            QVERIFY(!button->icon().pixmap(16, 15).isNull());  // our own pictures load
        }
    }
    QVERIFY(!Frame()->windowIcon().isNull());
}

void MainWindowTest::statusBarHasOnePaneWithIdleTextAndPrompts() {
    QStatusBar* bar = Frame()->statusBar();
    QCOMPARE(ControlId(bar), AFX_IDW_STATUS_BAR);
    QCOMPARE(bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(), 1);
    QCOMPARE(Frame()->IdlePane()->text(), QStringLiteral("For Help, press F1"));
    QVERIFY(bar->currentMessage().isEmpty());

    const std::pair<int, const char*> prompts[] = {
        {ID_FILE_OPEN, "Open an existing document"},
        {ID_SETTINGS, "File conversion settings"},
        {ID_FILE_MRU_FILE1, "Open this document"},
    };
    for (const auto& [id, prompt] : prompts) {
        Frame()->Action(id)->showStatusText(Frame());
        QCOMPARE(bar->currentMessage(), QString::fromLatin1(prompt));
    }
    // Leaving the command brings the idle text back.
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(Frame(), &leave);
    QVERIFY(bar->currentMessage().isEmpty());
    QVERIFY(Frame()->IdlePane()->isVisibleTo(bar));
}

void MainWindowTest::settingsCommandFollowsTheFirstOpen() {
    QAction* settings = Frame()->Action(ID_SETTINGS);
    QVERIFY(!settings->isEnabled());
    auto* button = Frame()->ToolBar()->widgetForAction(settings);
    QVERIFY(!button->isEnabled());

    // A failed open leaves it disabled.
    OpenFile(m_ws->Path(QStringLiteral("missing.csv")));
    QVERIFY(!settings->isEnabled());
    QCOMPARE(m_ws->log->messages.size(), size_t{1});

    OpenCancelled(m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(2)));
    QVERIFY(settings->isEnabled());
    QVERIFY(button->isEnabled());

    Frame()->Action(ID_FILE_NEW)->trigger();
    QVERIFY(m_app->View()->toPlainText().isEmpty());
    QVERIFY(settings->isEnabled());
    Frame()->Action(ID_CLEAR_WINDOW)->trigger();
    QVERIFY(settings->isEnabled());
}

void MainWindowTest::editingKeysChangeNothing() {
    const QString input = m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3));
    OpenCancelled(input);
    CCorvatView* view = m_app->View();
    const QString log = view->toPlainText();
    const QString inputBytes = FileBytes(input);
    const QStringList filesBefore = QDir(m_ws->Path(".")).entryList(QDir::Files);
    QApplication::clipboard()->setText(QStringLiteral("PASTED"));

    view->setFocus();
    view->selectAll();
    QSignalSpy saved(Frame()->Action(ID_FILE_SAVE), &QAction::triggered);
    QSignalSpy nextPane(Frame()->Action(ID_NEXT_PANE), &QAction::triggered);
    const QKeySequence keys[] = {
        QKeySequence(Qt::CTRL | Qt::Key_S),
        QKeySequence(Qt::CTRL | Qt::Key_V),
        QKeySequence(Qt::SHIFT | Qt::Key_Insert),
        QKeySequence(Qt::CTRL | Qt::Key_X),
        QKeySequence(Qt::SHIFT | Qt::Key_Delete),
        QKeySequence(Qt::CTRL | Qt::Key_Z),
        QKeySequence(Qt::ALT | Qt::Key_Backspace),
        QKeySequence(Qt::Key_F6),
        QKeySequence(Qt::SHIFT | Qt::Key_F6),
        QKeySequence(Qt::Key_Delete),
        QKeySequence(Qt::Key_A),
    };
    for (const QKeySequence& key : keys) {
        QTest::keySequence(view, key);
        QCOMPARE(view->toPlainText(), log);
    }
    QCOMPARE(saved.size(), 1);  // the keys did reach their commands
    QCOMPARE(nextPane.size(), 1);
    for (int id :
         {ID_FILE_SAVE, ID_EDIT_PASTE, ID_EDIT_CUT, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE}) {
        Frame()->Action(id)->trigger();
        QCOMPARE(view->toPlainText(), log);
    }
    QVERIFY(!view->document()->isUndoAvailable());
    QVERIFY(!view->document()->isModified());
    QCOMPARE(FileBytes(input), inputBytes);
    QCOMPARE(QDir(m_ws->Path(".")).entryList(QDir::Files), filesBefore);
    QVERIFY(m_ws->log->messages.empty());
}

void MainWindowTest::copyKeysCopySelectedLogAndNewEmptiesIt() {
    OpenCancelled(m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3)));
    CCorvatView* view = m_app->View();
    view->setFocus();
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}) {
        QApplication::clipboard()->clear();
        QTextCursor cursor(view->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        QTest::keySequence(view, key);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("To help you with the conversion settings, your file..."));
    }
    // The menu-less command does the same when the log has no focus.
    Frame()->ToolBar()->setFocus();
    QApplication::clipboard()->clear();
    Frame()->Action(ID_EDIT_COPY)->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("To help you with the conversion settings, your file..."));

    // Ctrl+N empties the log only.
    const int dateFormat = view->m_nDateFormat;
    QTest::keySequence(Frame(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QVERIFY(view->toPlainText().isEmpty());
    QVERIFY(!view->m_strInputPath.isEmpty());
    QCOMPARE(view->m_nDateFormat, dateFormat);
}

void MainWindowTest::helpModeShowsItsPrompt() {
    m_app->View()->setFocus();
    QTest::keySequence(Frame(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QCOMPARE(Frame()->statusBar()->currentMessage(),
             QStringLiteral("Select an object on which to get Help"));
    QWhatsThis::leaveWhatsThisMode();
    QVERIFY(Frame()->statusBar()->currentMessage().isEmpty());
    QVERIFY(!m_app->View()->whatsThis().isEmpty());
}

void MainWindowTest::helpOpensContentsAndContextTopics() {
    Frame()->Action(ID_HELP_FINDER)->trigger();
    QVERIFY(Frame()->Help());
    QCOMPARE(Frame()->Help()->CurrentTopic(), QStringLiteral("index.html"));
    QVERIFY(Frame()->Help()->isVisible());
    QVERIFY(Frame()->Help()->Browser()->toPlainText().contains(QStringLiteral("Contents")));

    m_app->View()->setFocus();
    QTest::keySequence(Frame(), QKeySequence(Qt::Key_F1));
    QCOMPARE(Frame()->Help()->CurrentTopic(), QStringLiteral("main-window.html"));

    // F1 inside the settings dialog opens the dialog's page, above it.
    QString topicInDialog;
    QString topicInChooser;
    bool helpUsable = false;
    WhenModalOpens([&](QDialog* dialog) {
        dialog->activateWindow();
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        if (HelpWindow* help = Frame()->Help()) {
            topicInDialog = help->CurrentTopic();
            helpUsable = help->isVisible() && help->parentWidget() == dialog;
        }
        // And in the directory chooser that Browse opens, the chooser's page.
        WhenModalOpens([&](QDialog* chooser) {
            QApplication::setActiveWindow(chooser);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            if (HelpWindow* help = Frame()->Help()) {
                topicInChooser = help->CurrentTopic();
            }
            FindControl<QPushButton>(chooser, kIdCancel)->click();
        });
        FindControl<QPushButton>(dialog, kIdBrowse)->click();
        Cancel(dialog);
    });
    OpenFile(m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(1)));
    QCOMPARE(topicInDialog, QStringLiteral("settings.html"));
    QVERIFY(helpUsable);
    QCOMPARE(topicInChooser, QStringLiteral("directory-chooser.html"));
}

void MainWindowTest::helpPagesCoverTheSubjects() {
    HelpWindow help;
    const char* pages[] = {"index.html",    "opening.html",      "main-window.html",
                           "settings.html", "date-formats.html", "directory-chooser.html",
                           "messages.html", "command-line.html"};
    for (const char* page : pages) {
        help.ShowTopic(QString::fromLatin1(page));
        QVERIFY2(help.Browser()->toPlainText().size() > 200, page);
    }
    help.ShowTopic(QStringLiteral("messages.html"));
    QVERIFY(help.Browser()->toPlainText().contains(QStringLiteral("Conversion failed.")));
}

void MainWindowTest::aboutBoxShowsItsLinesAndNotice() {
    QString title;
    QStringList labels;
    QStringList groups;
    QString notice;
    int id = 0;
    WhenModalOpens([&](QDialog* dialog) {
        title = dialog->windowTitle();
        id = ControlId(dialog);
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            labels << label->text();
        }
        for (QGroupBox* group : dialog->findChildren<QGroupBox*>()) {
            groups << group->title();
        }
        notice = FindControl<QPlainTextEdit>(dialog, IDC_LEGAL_NOTICE)->toPlainText();
        auto* ok = FindControl<QPushButton>(dialog, IDOK_BUTTON);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        ok->click();
    });
    Frame()->Action(ID_APP_ABOUT)->trigger();
    QCOMPARE(title, QStringLiteral("About Corvat"));
    QCOMPARE(id, IDD_ABOUTBOX);
    QVERIFY(labels.contains(QStringLiteral("Corvat Version 1.1")));
    QCOMPARE(groups, (QStringList{"What Corvat Does", "Legal Stuff"}));
    QCOMPARE(notice, CAboutDlg().LegalNotice());
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
