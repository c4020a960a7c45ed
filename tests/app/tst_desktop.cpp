// The desktop program as the user meets it, from Open through the preview,
// the real settings dialog and the conversion to the log, files and profile;
// and the parts that need no window.
#include "app_ids.h"
#include "choose_dir.h"
#include "control_id.h"
#include "converter.h"
#include "converter_setup.h"
#include "corvat_app.h"
#include "corvat_view.h"
#include "help_window.h"
#include "main_frame.h"
#include "preview_reader.h"
#include "profile_store.h"
#include "recent_file_list.h"
#include "settings_ids.h"
#include "settings_test_support.h"
#include "window_placement.h"

using namespace corvat;
using namespace corvat::test;

namespace {

// One test's files and profile, with the services the program would get,
// recording instead of showing; questions are answered as `sink->answer` says.
struct Workspace {
    QTemporaryDir dir;
    ProfileStore profile{Path(QStringLiteral("Corvat.ini"))};
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    QStringList filesToOpen;  // answers of the open-file dialog, in order
    QString openedIn;         // the folder that dialog started in last
    int beeps = 0;
    std::function<void()> onBeep;  // runs at each beep, after counting it

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString WriteFile(const QString& name, const QByteArray& bytes) const {
        WriteFileBytes(Path(name).toStdString(), bytes.toStdString());
        return Path(name);
    }
    QString MakeDir(const QString& name) const {
        QDir(dir.path()).mkpath(name);
        return Path(name);
    }
    AppServices Services() {
        AppServices services;
        services.profile = &profile;
        services.makeMessageSink = [sink = sink](QWidget*) -> std::unique_ptr<MessageSink> {
            return std::make_unique<RecordingSink>(sink.get());
        };
        services.getOpenFileName = [this](QWidget*, const QString& folder) {
            openedIn = folder;
            return filesToOpen.isEmpty() ? QString() : filesToOpen.takeFirst();
        };
        services.beep = [this] { ++beeps, onBeep ? onBeep() : void(); };
        return services;
    }
};

// Settings for a conversion of PriceFile (one header row).
struct ConversionChoice {
    QString path;
    QString symbol = QStringLiteral("SAMPLE");
    QString name = QStringLiteral("Sample Corp");
    bool makeNewMaster = true;
    QString dateFormat = QStringLiteral("MM_DD_CCYY");
};

void FillAndAccept(QDialog* dialog, const ConversionChoice& choice) {
    FindControl<QLineEdit>(dialog, kIdPath)->setText(choice.path);
    FindControl<QLineEdit>(dialog, kIdSymbol)->setText(choice.symbol);
    FindControl<QLineEdit>(dialog, kIdName)->setText(choice.name);
    FindControl<QRadioButton>(dialog,
                              choice.makeNewMaster ? kIdMakeNewMaster : kIdUseExistingMaster)
        ->click();
    FindControl<QComboBox>(dialog, kIdDateFormat)->setEditText(choice.dateFormat);
    if (auto* skip = FindControl<QCheckBox>(dialog, kIdSkipOn); !skip->isChecked()) skip->click();
    FindControl<QLineEdit>(dialog, kIdSkipRows)->setText("1");
    FindControl<QPushButton>(dialog, kIdOk)->click();
}
void Cancel(QDialog* dialog) { FindControl<QPushButton>(dialog, kIdCancel)->click(); }

QByteArray PriceFile(int rows) {
    QByteArray bytes = "Date,Open,High,Low,Close,Volume,OpenInterest\n";
    for (int i = 0; i < rows; ++i)
        bytes += QStringLiteral("01/%1/2026,10%2.25,10%2.50,10%2.00,10%2.40,1000%2,0\n")
                     .arg(i + 2, 2, 10, QLatin1Char('0'))
                     .arg(i % 10)
                     .toLatin1();
    return bytes;
}

const QString kSuccess = QStringLiteral("\nConversion completed successfully!");
const QString kFailure = QStringLiteral("\nConversion failed.");
const QString kCancelled = QStringLiteral("\nConversion cancelled.");

QString Header(const QString& path) {
    return QStringLiteral("To help you with the conversion settings, your file...\n\n\t") +
           QDir::toNativeSeparators(path) + QStringLiteral("\n\nlooks like this...\n\n");
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private:
    CMainFrame* Frame() const { return m_app->MainFrame(); }
    CCorvatView* View() const { return m_app->View(); }

    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<CCorvatApp> m_app;

    void Start(const QStringList& arguments = {QStringLiteral("corvat")}) {
        m_app = std::make_unique<CCorvatApp>(m_ws->Services());
        QVERIFY(m_app->InitInstance(arguments));
        if (arguments.size() == 1) QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    void Open(const QString& path) {
        m_ws->filesToOpen = {path};
        Frame()->Action(ID_FILE_OPEN)->trigger();
    }

    // Opens `path` or, without one, runs Settings on the file already open.
    void Convert(const ConversionChoice& choice, const QString& path = {}) {
        WhenModalOpens([choice](QDialog* dialog) { FillAndAccept(dialog, choice); });
        path.isEmpty() ? Frame()->Action(ID_SETTINGS)->trigger() : Open(path);
    }

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }

    void cleanup() {
        m_app.reset();
        m_ws.reset();
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // Ten lines, a long one in pieces, replacing the previous preview; Cancel writes nothing.
    void previewsAndCancel() {
        Start();
        WhenModalOpens(Cancel);
        Open(m_ws->WriteFile(QStringLiteral("before.csv"), PriceFile(2)));
        QByteArray bytes = QByteArray(400, '9') + "\n";
        QString shown = QString(299, u'9') + u'\n' + QString(101, u'9') + u'\n';
        for (int i = 1; i <= 50; ++i) {
            bytes += "row " + QByteArray::number(i) + "\n";
            if (i <= 8) shown += QStringLiteral("row %1\n").arg(i);
        }
        const QString file = m_ws->WriteFile(QStringLiteral("file.csv"), bytes);
        const QString out = m_ws->MakeDir(QStringLiteral("out"));
        QString logWhileAsking;
        WhenModalOpens([&](QDialog* dialog) {
            logWhileAsking = View()->toPlainText();
            FindControl<QLineEdit>(dialog, kIdPath)->setText(out);  // typed, then cancelled
            Cancel(dialog);
        });
        Open(file);
        QCOMPARE(logWhileAsking + View()->toPlainText(), (Header(file) + shown).repeated(2));
        QVERIFY(QDir(out).isEmpty() && !ReadAll(m_ws->profile.FileName()).contains("[Setting]"));
        QCOMPARE(m_ws->beeps, 0);
    }

    // The file opens once the window is shown.
    void convertsFromTheCommandLineThroughDialogToFiles() {
        const QString input = m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(5));
        const QString out = m_ws->MakeDir(QStringLiteral("out"));
        QString logAtBeep;
        m_ws->onBeep = [&] { logAtBeep = View()->toPlainText(); };
        const ConversionChoice choice{.path = out, .symbol = "abc  "};  // cleaned by the dialog
        bool windowShownFirst = false;
        WhenModalOpens([&](QDialog* dialog) {
            windowShownFirst = Frame()->isVisible() && dialog->parentWidget() == Frame();
            FillAndAccept(dialog, choice);
        });
        Start({QStringLiteral("corvat"), input});
        QTRY_VERIFY(View()->toPlainText().endsWith(kSuccess));
        QVERIFY(windowShownFirst);
        QCOMPARE(View()->toPlainText(), Header(input) + PriceFile(5) + kSuccess);
        QCOMPARE(m_ws->beeps, 1);
        QCOMPARE(logAtBeep, View()->toPlainText());  // the beep follows the outcome line
        QCOMPARE(View()->m_nDateFormat, 4);          // MM_DD_CCYY
        QVERIFY(m_ws->sink->messages.empty());

        QCOMPARE(ReadAll(out + "/F1.DAT").size(), 6 * 28);  // header and five 28-byte records

        const SettingsValues s = ProfileStore(m_ws->profile.FileName()).LoadSettings();
        QCOMPARE(std::tuple(s.DateFormat, s.Exist, s.SkipRows, s.Symbol, s.Name),
                 std::tuple(QString("MM_DD_CCYY"), 1, 1, QString("ABC"), QString("Sample Corp")));
        QCOMPARE(QDir(s.Path).canonicalPath(), QDir(out).canonicalPath());
    }

    void failedRunReportsAndKeepsDialogValues() {
        Start();
        const QString input = m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3));
        const ConversionChoice choice{.path = m_ws->Path("no-such-dir"), .dateFormat = "DDMMYY"};
        Convert(choice, input);

        // The engine's own report, in a box and in the log before the outcome.
        QCOMPARE(m_ws->sink->messages.size(), size_t{1});
        QVERIFY(View()->toPlainText().endsWith(
            u'\n' + QString::fromStdString(m_ws->sink->messages.front()) + kFailure));
        QCOMPARE(m_ws->beeps, 0);
        // Only the job writes Path and Symbol, and it stopped first.
        const QByteArray ini = ReadAll(m_ws->profile.FileName());
        QVERIFY(ini.contains("DateFormat=DDMMYY") && !ini.contains("Path=") &&
                !ini.contains("Symbol="));
        QVERIFY(!QFile::exists(choice.path));

        // The next dialog offers what was typed, without the profile holding it.
        QStringList offered;
        WhenModalOpens([&](QDialog* dialog) {
            for (int id : {kIdPath, kIdSymbol, kIdName})
                offered << FindControl<QLineEdit>(dialog, id)->text();
            Cancel(dialog);
        });
        Frame()->Action(ID_SETTINGS)->trigger();
        QCOMPARE(offered, (QStringList{choice.path, choice.symbol, choice.name}));
    }

    // "Use Existing Master" where there is none: Yes makes one, leaving out a bad row too
    // as the outcome says; EMASTER or XMASTER without MASTER is refused before any question.
    void existingMasterWhereThereIsNoneOffersANewOne_data() {
        QTest::addColumn<QString>("indexFile");
        QTest::newRow("empty directory") << QString();
        QTest::newRow("EMASTER alone") << "EMASTER";
    }
    void existingMasterWhereThereIsNoneOffersANewOne() {
        QFETCH(QString, indexFile);
        Start();
        const ConversionChoice choice{.path = m_ws->MakeDir("out"), .makeNewMaster = false};
        if (!indexFile.isEmpty()) m_ws->WriteFile("out/" + indexFile, QByteArray(192, '\0'));
        m_ws->sink->answer = true;
        Convert(choice, m_ws->WriteFile(QStringLiteral("p.csv"), PriceFile(3) + "bad\n"));
        QCOMPARE(View()->toPlainText().contains("Make a new one? Yes"), indexFile.isEmpty());
        QVERIFY(View()->toPlainText().endsWith(
            indexFile.isEmpty() ? kSuccess + "\n1 row left out."
                                : " holds EMASTER or XMASTER but no MASTER.\nRestore MASTER or "
                                  "choose another directory." +
                                      kFailure));
        QCOMPARE(QFile::exists(choice.path + QStringLiteral("/MASTER")), indexFile.isEmpty());
    }

    // The same symbol again is offered as an update: No refuses it, Yes adds the rows.
    void settingsTwiceGivesTwoOutcomeLinesFromARelativePath() {
        Start();
        m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_ws->Path(QStringLiteral(".")));
        ConversionChoice choice{.path = m_ws->MakeDir("out")};
        Convert(choice, QStringLiteral("prices.csv"));
        QVERIFY(QFileInfo(View()->m_strInputPath).isAbsolute());
        const QString afterFirst = View()->toPlainText();
        QVERIFY(afterFirst.endsWith(kSuccess));
        const QByteArray data = ReadAll(choice.path + QStringLiteral("/F1.DAT"));

        choice.makeNewMaster = false;
        choice.symbol = QStringLiteral("sample");
        Convert(choice);
        QCOMPARE(View()->toPlainText(), afterFirst +
                                            "\nSAMPLE is already in this directory.\nAdd the "
                                            "rows of this file to it? No\nDuplicate Symbol" +
                                            kFailure);
        QCOMPARE(m_ws->sink->messages.size(), size_t{2});  // the question and the refusal
        QCOMPARE(m_ws->sink->noByDefault, 1);  // Enter must not merge another file's prices
        QCOMPARE(ReadAll(choice.path + QStringLiteral("/F1.DAT")), data);

        // The first run moved the working directory to the output directory:
        // the input is found all the same.
        m_ws->sink->answer = true;
        Convert(choice, m_ws->WriteFile(QStringLiteral("b.csv"), PriceFile(5)));
        QVERIFY(View()->toPlainText().endsWith("\nSAMPLE: 2 rows added, 0 replaced, 5 records"));
        QCOMPARE(ReadAll(choice.path + QStringLiteral("/F1.DAT")).mid(28, 3 * 28), data.mid(28));
        choice.symbol = QStringLiteral("OTHER");
        Convert(choice);
        QDir::setCurrent(previous);
        QVERIFY(View()->toPlainText().endsWith(kSuccess));
        QCOMPARE(m_ws->beeps, 3);
        QCOMPARE(ReadAll(choice.path + QStringLiteral("/F2.DAT")).size(), 6 * 28);
    }

    // The window stays alive while another program holds the lock; Cancel, or
    // closing the window, ends the wait quietly and writes nothing.
    void waitsForAnotherWriterUntilItEndsOrCancel() {
        Start();
        ConversionChoice choice{.path = m_ws->MakeDir("out")};
        for (const QString way : {"ends", "cancel", "close"}) {
            QProcess other;  // holds the lock until its input ends
            other.start(QStringLiteral("flock"), {"-o", choice.path, "-c", "echo held; cat"});
            QVERIFY(other.waitForReadyRead());
            const QByteArray master = ReadAll(choice.path + QStringLiteral("/MASTER"));
            QStringList seen;
            QObject context;
            connect(View(), &CCorvatView::WaitingStarted, &context, [&] {
                QTimer::singleShot(300, &context, [&] {
                    seen << Frame()->statusBar()->currentMessage()
                         << QString::number(Frame()->Action(ID_FILE_OPEN)->isEnabled() ||
                                            Frame()->ToolBar()->isEnabled());
                    if (way == "ends") other.closeWriteChannel();
                    if (way == "cancel") Frame()->CancelWaitButton()->click();
                    if (way == "close") Frame()->close();
                });
            });
            if (way != "ends") choice.makeNewMaster = false, choice.symbol = "OTHER";
            Convert(choice, way == "ends" ? m_ws->WriteFile("a.csv", PriceFile(3)) : QString());
            const QString dir = QFileInfo(choice.path).canonicalFilePath();
            QCOMPARE(seen.mid(0, 2),
                     QStringList({"Waiting for another program writing to " + dir + "...", "0"}));
            QVERIFY(View()->toPlainText().endsWith(way == "ends" ? kSuccess : kCancelled));
            QVERIFY(Frame()->Action(ID_FILE_OPEN)->isEnabled() && Frame()->ToolBar()->isEnabled());
            QCOMPARE(m_ws->sink->messages.size(), size_t{0});  // no box after Cancel
            if (way != "ends") QCOMPARE(ReadAll(choice.path + QStringLiteral("/MASTER")), master);
        }
        // The close was held off until the wait had ended, then done.
        QTRY_VERIFY(!Frame()->isVisible());
        QCOMPARE(QDir(choice.path).entryList(QDir::Files).size(), 4);  // MASTER, EMASTER, F1.*
    }

    // The chooser starts at the last output directory; No removes nothing.
    void removesASecurityAfterAskingDirectorySymbolAndConfirmation() {
        Start();
        ConversionChoice choice{.path = m_ws->MakeDir("out")};
        Convert(choice, m_ws->WriteFile(QStringLiteral("a.csv"), PriceFile(3)));
        const QString dir = QFileInfo(choice.path).canonicalFilePath();
        QString started;
        for (const bool yes : {false, true}) {
            m_ws->sink->answer = yes;
            WhenModalOpens<CChooseDir>([&](CChooseDir* chooser) {
                started = chooser->CurrentDirectory();
                WhenModalOpens<QInputDialog>([](QInputDialog* symbol) {
                    symbol->setTextValue(QStringLiteral(" sample "));
                    symbol->accept();
                });
                FindControl<QPushButton>(chooser, kIdOk)->click();
            });
            Frame()->Action(ID_REMOVE_SECURITY)->trigger();
            QCOMPARE(started, dir);
            QCOMPARE(QFile::exists(choice.path + QStringLiteral("/F1.DAT")), !yes);
        }
        const QString asked = "\nRemove SAMPLE from " + dir + "?\nIts data files are deleted.";
        QVERIFY(View()->toPlainText().endsWith(asked + " No" + asked +
                                               " Yes\nSAMPLE: removed, file number 1"));
    }

    void recentFilesSurviveRestartAndDropStaleEntries() {
        Start();
        QStringList files;
        for (int i = 1; i <= 5; ++i) {
            files << m_ws->WriteFile(QStringLiteral("f%1.csv").arg(i), PriceFile(1));
            WhenModalOpens(Cancel);
            Open(files.back());
        }
        QCOMPARE(m_ws->openedIn, QFileInfo(files[3]).absolutePath());  // the last file's folder
        m_app->ExitInstance();
        m_app.reset();
        Start();
        QCOMPARE(m_app->RecentFiles().Files(), QStringList(files.crbegin(), files.crend() - 1));
        const auto entry = [&](int i) { return Frame()->Action(ID_FILE_MRU_FILE1 + i); };
        QVERIFY(entry(3)->isVisible() && entry(3)->isEnabled());
        QVERIFY(!Frame()->Action(ID_SETTINGS)->isEnabled());  // a restart opens nothing

        // Entry 3 (f3) opened again moves to the top; once gone, it is
        // reported and dropped, for good.
        WhenModalOpens(Cancel);
        entry(2)->trigger();
        QCOMPARE(View()->m_strInputPath, files[2]);
        QFile::remove(files[2]);
        entry(0)->trigger();
        QCOMPARE(m_ws->sink->messages.size(), size_t{1});
        const QStringList kept{files[4], files[3], files[1]};
        QVERIFY(m_app->RecentFiles().Files() == kept && m_ws->profile.RecentFiles() == kept);
        QVERIFY(!entry(3)->isVisible());
    }

    // No editing key changes the log or any file; New empties the log.
    void settingsFollowTheFirstOpenAndOnlyCopyKeysAct() {
        Start();
        QAction* settings = Frame()->Action(ID_SETTINGS);
        const QString missing = m_ws->Path(QStringLiteral("gone.csv"));
        Open(missing);  // a failed open changes nothing
        QVERIFY(!settings->isEnabled());
        const QString input = m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(3));
        WhenModalOpens(Cancel);
        Open(input);
        Frame()->activateWindow();  // keys reach the accelerators only once it is active
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QVERIFY(settings->isEnabled());
        // Neither a directory nor a file gone between the open and the preview
        // is previewed; no dialog opens.
        const QString preview = View()->toPlainText();
        Open(m_ws->MakeDir(QStringLiteral("folder")));
        QCOMPARE(View()->m_strInputPath, input);
        View()->m_strInputPath = missing;
        View()->OnPreviewFile();
        QCOMPARE(m_ws->sink->messages.size(), size_t{3});
        QVERIFY(QString::fromStdString(m_ws->sink->messages.front())
                    .contains(QDir::toNativeSeparators(missing) + ":\nNo such file"));
        QCOMPARE(View()->toPlainText(), preview);
        QCOMPARE(m_app->RecentFiles().Files(), QStringList{input});
        View()->m_strInputPath = input;

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
        const QByteArray inputBytes = ReadAll(input);
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
        QVERIFY(ReadAll(input) == inputBytes && m_ws->sink->messages.size() == 3 &&
                QDir(m_ws->Path(".")).entryList(QDir::Files) == filesBefore);

        QTest::keySequence(Frame(), QKeySequence(Qt::CTRL | Qt::Key_N));  // empties the log only
        QVERIFY(view->toPlainText().isEmpty() && settings->isEnabled());
    }

    void helpOpensContentsAndContextTopicsOnPagesOfOurOwn() {
        Start();
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
        Open(m_ws->WriteFile(QStringLiteral("prices.csv"), PriceFile(1)));
        QVERIFY(helpUsable);
        QCOMPARE(topics, (QStringList{"index.html", "main-window.html", "settings.html",
                                      "directory-chooser.html"}));

        HelpWindow help;
        for (const char* page : {"index.html", "opening.html", "settings.html", "date-formats.html",
                                 "messages.html", "updating.html", "command-line.html"}) {
            help.ShowTopic(QString::fromLatin1(page));
            QVERIFY2(help.Browser()->toPlainText().size() > 200, page);
        }
        QVERIFY(help.Browser()->toPlainText().contains(QStringLiteral("corvat-cli")));
    }

    // 85 % of each side, rounded down, centred: binary floating point must
    // never land one pixel below W * 85 / 100.
    void placementIsEightyFivePercentRoundedDownCentred() {
        for (int w = 0; w <= 5000; ++w) {
            const int h = w * 3 / 4 + 1, width = w * 85 / 100, height = h * 85 / 100;
            const WindowPlacement p = MainWindowPlacement(w, h);
            if (QRect(p.x, p.y, p.width, p.height) !=
                QRect((w - width) / 2, (h - height) / 2, width, height))
                QFAIL(qPrintable(QStringLiteral("%1x%2").arg(w).arg(h)));
        }
    }

    void previewReadsTenLinesInPiecesOf299() {
        const QString x299(299, u'x');
        const std::pair<QByteArray, QStringList> cases[] = {
            {"", {}},
            {"\n\nx\n", {"", "", "x"}},                          // blank lines are lines
            {"a,1\r\n\tb,2\r\nlast", {"a,1", "\tb,2", "last"}},  // no final line end
            {QByteArray(700, 'x'), {x299, x299, QString(102, u'x')}},
            {QByteArray(299, 'x') + "\nnext\n", {x299, "next"}},  // no blank piece after it
            {QByteArray(299, 'x') + "\n\nnext\n", {x299, "", "next"}}};
        for (auto [bytes, expected] : cases) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly | QIODevice::Text);
            QCOMPARE(ReadPreviewLines(buffer), expected);
        }
    }

    void recentFilesAreNewestFirstWithoutRepeatsAndShownShort() {
        RecentFileList list;
        list.Assign({"/d/e.csv", "/d/d.csv", "/d/c.csv", "/d/b.csv"});
        list.Add(QStringLiteral("/d/./c.csv"));  // the same file, spelled otherwise
        list.Add(QStringLiteral("/d/f.csv"));    // the oldest, b, drops out
        list.Remove(QStringLiteral("/d/e.csv"));
        list.Remove(QStringLiteral("/d/unknown.csv"));
        QCOMPARE(list.Files(), (QStringList{"/d/f.csv", "/d/./c.csv", "/d/d.csv"}));
        QCOMPARE(list.At(7), QString());

        list.Assign({"/a", "", "  ", "/b", "/a", "/c", "/d", "/e"});
        QCOMPARE(list.Files(), (QStringList{"/a", "/b", "/c", "/d"}));

        // Menu texts are numbered, escape "&" and shorten a long path.
        const QString deep = QStringLiteral("/") + QString(80, u'p') + QStringLiteral("/ibm.csv");
        list.Assign({QStringLiteral("/data/Smith & Sons.csv"), deep});
        QCOMPARE(list.MenuText(0), QStringLiteral("&1 /data/Smith && Sons.csv"));
        const QString text = list.MenuText(1);
        QVERIFY(text.startsWith("&2 /ppp") && text.endsWith(".../ibm.csv") &&
                text.size() < deep.size());
    }

    void fillsJobFromDialogAndProfileValues() {
        test::RecordingSink sink;
        corvat::NullProfile profile;
        CConverter job(sink, profile, RealFileSystem());
        SettingsValues v{
            .Delimiter = 1, .Path = "/tmp/out dir ", .Symbol = "IBM", .Name = "IBM CORP"};
        v.SkipOn = v.Decimal = v.Suffixes = 1, v.OpenOn = v.LoOn = v.OIOn = 0;
        v.Thousands = 2, v.SkipRows = 3, v.DateCol = 20, v.CloCol = 3, v.OICol = 5;
        FillConverter(job, v, QStringLiteral("/in/prices.csv"), 9);
        QCOMPARE(job.m_strInputPath + "|" + job.m_szPath + "|" + job.m_szSymbol + "|" +
                     job.m_szName + "|" + job.m_szDelimiter,
                 std::string("/in/prices.csv|/tmp/out dir |IBM|IBM CORP|\t"));  // blanks stay
        QCOMPARE(job.m_bFieldOn, (std::array<int, kFieldSlots>{1, 0, 1, 0, 1, 1, 0}));
        QCOMPARE(job.m_nColumn, (std::array<int, kFieldSlots>{19, 1, 2, 3, 2, 5, 4}));
        QCOMPARE(std::tuple(job.m_bUseExisting, job.m_nDateFormat, job.m_bSkipOn, job.m_nSkipRows),
                 std::tuple(1, 9, 1, 3));  // Exist 0: use the existing master
        QVERIFY(job.m_numberStyle ==
                (NumberStyle{DecimalMark::kComma, ThousandsSeparator::kDot, true}));

        // Odd profile values: an unknown delimiter is a comma; date and close
        // are on even when every optional field is off.
        for (const auto& [index, text] :
             {std::pair(0, ","), {2, " "}, {3, ";"}, {4, ","}, {-1, ","}}) {
            CConverter other(sink, profile, RealFileSystem());
            SettingsValues odd;
            odd.Delimiter = odd.Exist = index;  // anything but 0 makes a new master
            odd.OpenOn = odd.HiOn = odd.LoOn = odd.VolOn = odd.OIOn = 0;
            FillConverter(other, odd, QString(), 0);
            QCOMPARE(other.m_szDelimiter, std::string(text));
            QCOMPARE(other.m_bUseExisting, index == 0 ? 1 : 0);
            QCOMPARE(other.m_bFieldOn, (std::array<int, kFieldSlots>{1, 0, 0, 0, 1, 0, 0}));
        }
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
