// The main window as the user meets it: caption, place, menus, toolbar,
// status bar, accelerators, help and the About box.
#include "app_ids.h"
#include "app_test_support.h"
#include "control_id.h"
#include "corvat_app.h"
#include "corvat_view.h"
#include "help_window.h"
#include "main_frame.h"
#include "settings_ids.h"
#include "window_placement.h"

using namespace corvat;
using namespace corvat::test;

namespace {

// A command as "text id on|off"; a separator as " 0 on".
QString Item(const QString& text, int id, bool on = true) {
    return QStringLiteral("%1 %2 %3").arg(text).arg(id).arg(on ? "on" : "off");
}

QString FileBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<CCorvatApp> m_app;
    CMainFrame* Frame() const { return m_app->MainFrame(); }

    // Opens a file through File > Open (and cancels the settings dialog).
    void OpenFile(const QString& path) {
        m_ws->filesToOpen = {path};
        Frame()->Action(ID_FILE_OPEN)->trigger();
        // Keys reach the accelerators only while the main window is active again.
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    void OpenCancelled(const QString& path) {
        WhenModalOpens(Cancel);
        OpenFile(path);
    }

private slots:
    void init() {
        m_ws = std::make_unique<Workspace>();
        m_app = std::make_unique<CCorvatApp>(m_ws->Services());
        QVERIFY(m_app->InitInstance({QStringLiteral("corvat")}));
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    void cleanup() {
        m_app.reset();
        m_ws.reset();
    }

    void opensAtEightyFivePercentCentred() {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const WindowPlacement p = MainWindowPlacement(screen.width(), screen.height());
        QCOMPARE(Frame()->size(), QSize(p.width, p.height));
        QCOMPARE(Frame()->pos(), QPoint(screen.x() + p.x, screen.y() + p.y));
    }

    void menusHaveTheirItemsOrderAndStates() {
        QStringList items;
        for (QAction* menu : Frame()->menuBar()->actions()) {
            items << menu->text();
            for (QAction* a : menu->menu()->actions()) {
                if (a->isVisible()) {
                    items << Item(a->isSeparator() ? QString() : a->text(),
                                  a->property(kControlIdProperty).toInt(), a->isEnabled());
                }
            }
        }
        QCOMPARE(items, (QStringList{"&File", Item("&Open...\tCtrl+O", ID_FILE_OPEN),
                                     Item("Settings...", ID_SETTINGS, false),
                                     Item("&Remove Security\u2026", ID_REMOVE_SECURITY),
                                     Item("", 0), Item("Recent File", ID_FILE_MRU_FILE1, false),
                                     Item("", 0), Item("E&xit", ID_APP_EXIT), "&View",
                                     Item("&Clear Window", ID_CLEAR_WINDOW), "&Help",
                                     Item("&Help Topics", ID_HELP_FINDER), Item("", 0),
                                     Item("&About Corvat...", ID_APP_ABOUT)}));
    }

    void toolbarHasOpenSettingsGapAbout() {
        QToolBar* bar = Frame()->ToolBar();
        QCOMPARE(Frame()->toolBarArea(bar), Qt::TopToolBarArea);
        QStringList buttons;
        for (QAction* a : bar->actions()) {
            buttons << Item(a->toolTip(), a->property(kControlIdProperty).toInt(), a->isEnabled());
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            if (!a->isSeparator()) QVERIFY(!button->icon().pixmap(16, 15).isNull());  // ours load
        }
        QCOMPARE(buttons,
                 (QStringList{Item("Open", ID_FILE_OPEN), Item("Settings", ID_SETTINGS, false),
                              Item("", 0), Item("About", ID_APP_ABOUT)}));
    }

    void statusBarHasOnePaneWithIdleTextAndPrompts() {
        QStatusBar* bar = Frame()->statusBar();
        QCOMPARE(bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(), 1);
        QCOMPARE(Frame()->IdlePane()->text(), QStringLiteral("For Help, press F1"));
        for (const auto& [id, prompt] : {std::pair(ID_FILE_OPEN, "Open an existing document"),
                                         {ID_SETTINGS, "File conversion settings"},
                                         {ID_FILE_MRU_FILE1, "Open this document"}}) {
            Frame()->Action(id)->showStatusText(Frame());
            QCOMPARE(bar->currentMessage(), QString::fromLatin1(prompt));
        }
        QStatusTipEvent leave{QString()};  // leaving the command brings the idle text back
        QApplication::sendEvent(Frame(), &leave);
        QVERIFY(bar->currentMessage().isEmpty() && Frame()->IdlePane()->isVisibleTo(bar));
        // Shift+F1 enters help mode with its own prompt.
        m_app->View()->setFocus();
        QTest::keySequence(Frame(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QCOMPARE(bar->currentMessage(), QStringLiteral("Select an object on which to get Help"));
        QWhatsThis::leaveWhatsThisMode();
        QVERIFY(bar->currentMessage().isEmpty() && !m_app->View()->whatsThis().isEmpty());
    }

    // Settings waits for the first file opened; then the log can be copied,
    // and no editing key changes it or any file; New empties it.
    void settingsFollowTheFirstOpenAndOnlyCopyKeysAct() {
        QAction* settings = Frame()->Action(ID_SETTINGS);
        auto* button = Frame()->ToolBar()->widgetForAction(settings);
        OpenFile(m_ws->Path(QStringLiteral("missing.csv")));  // a failed open changes nothing
        QVERIFY(!settings->isEnabled() && !button->isEnabled());
        QCOMPARE(m_ws->sink->messages.size(), size_t{1});
        const QString input = m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3));
        OpenCancelled(input);
        QVERIFY(settings->isEnabled() && button->isEnabled());
        QCOMPARE(Frame()->windowTitle(), QStringLiteral("Corvat"));  // no file name in it
        QVERIFY(Frame()->windowFilePath().isEmpty());

        CCorvatView* view = m_app->View();
        view->setFocus();
        for (const char* key : {"Ctrl+C", "Ctrl+Ins"}) {
            QApplication::clipboard()->clear();
            QTextCursor cursor(view->document());
            cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
            view->setTextCursor(cursor);
            QTest::keySequence(view, QKeySequence(QString::fromLatin1(key)));
            QCOMPARE(QApplication::clipboard()->text(),
                     QStringLiteral("To help you with the conversion settings, your file..."));
        }

        const QString log = view->toPlainText();
        const QString inputBytes = FileBytes(input);
        const QStringList filesBefore = QDir(m_ws->Path(".")).entryList(QDir::Files);
        QApplication::clipboard()->setText(QStringLiteral("PASTED"));
        view->selectAll();
        QSignalSpy saved(Frame()->Action(ID_FILE_SAVE), &QAction::triggered);
        QSignalSpy nextPane(Frame()->Action(ID_NEXT_PANE), &QAction::triggered);
        for (const char* key : {"Ctrl+S", "Ctrl+V", "Shift+Ins", "Ctrl+X", "Shift+Del", "Ctrl+Z",
                                "Alt+Backspace", "F6", "Shift+F6", "Del", "A"}) {
            QTest::keySequence(view, QKeySequence(QString::fromLatin1(key)));
            QCOMPARE(view->toPlainText(), log);
        }
        QCOMPARE(saved.size() + nextPane.size(), 2);  // the keys did reach their commands
        QVERIFY(!view->document()->isUndoAvailable());
        QCOMPARE(FileBytes(input), inputBytes);
        QCOMPARE(QDir(m_ws->Path(".")).entryList(QDir::Files), filesBefore);
        QCOMPARE(m_ws->sink->messages.size(), size_t{1});

        QTest::keySequence(Frame(), QKeySequence(Qt::CTRL | Qt::Key_N));  // empties the log only
        QVERIFY(view->toPlainText().isEmpty() && settings->isEnabled());
    }

    void helpOpensContentsAndContextTopicsOnPagesOfOurOwn() {
        QStringList topics;  // what the help window shows after each request
        const auto note = [&] {
            topics << (Frame()->Help() ? Frame()->Help()->CurrentTopic() : "");
        };
        Frame()->Action(ID_HELP_FINDER)->trigger();
        note();
        QVERIFY(Frame()->Help()->isVisible());
        m_app->View()->setFocus();
        QTest::keySequence(Frame(), QKeySequence(Qt::Key_F1));
        note();

        // F1 inside the settings dialog opens the dialog's page, above it; and
        // in the directory chooser that Browse opens, the chooser's page.
        bool helpUsable = false;
        WhenModalOpens([&](QDialog* dialog) {
            dialog->activateWindow();
            QApplication::setActiveWindow(dialog);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            note();
            helpUsable = Frame()->Help()->isVisible() && Frame()->Help()->parentWidget() == dialog;
            WhenModalOpens([&](QDialog* chooser) {
                QApplication::setActiveWindow(chooser);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
                note();
                FindControl<QPushButton>(chooser, kIdCancel)->click();
            });
            FindControl<QPushButton>(dialog, kIdBrowse)->click();
            Cancel(dialog);
        });
        OpenFile(m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(1)));
        QVERIFY(helpUsable);
        QCOMPARE(topics, (QStringList{"index.html", "main-window.html", "settings.html",
                                      "directory-chooser.html"}));

        HelpWindow help;
        for (const char* page : {"index.html", "opening.html", "settings.html", "date-formats.html",
                                 "messages.html", "command-line.html"}) {
            help.ShowTopic(QString::fromLatin1(page));
            QVERIFY2(help.Browser()->toPlainText().size() > 200, page);
        }
        QVERIFY(help.Browser()->toPlainText().contains(QStringLiteral("corvat-cli")));
    }

    void aboutBoxShowsItsLinesAndNotice() {
        QStringList seen;
        QString notice;
        WhenModalOpens([&](QDialog* dialog) {
            seen << dialog->windowTitle() << QString::number(ControlId(dialog));
            for (QLabel* label : dialog->findChildren<QLabel*>()) seen << label->text();
            for (QGroupBox* group : dialog->findChildren<QGroupBox*>()) seen << group->title();
            notice = FindControl<QPlainTextEdit>(dialog, IDC_LEGAL_NOTICE)->toPlainText();
            FindControl<QPushButton>(dialog, IDOK_BUTTON)->click();
        });
        Frame()->Action(ID_APP_ABOUT)->trigger();
        for (const char* expected :
             {"About Corvat", "100", "Corvat Version 1.1", "What Corvat Does", "Legal Stuff"})
            QVERIFY2(seen.contains(expected), expected);
        QVERIFY(notice.contains(QStringLiteral("licen"), Qt::CaseInsensitive));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
