#include "choose_dir.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "control_id.h"
#include "settings_ids.h"
#include "test_support.h"

using namespace corvat;
using test::RecordingSink;

class ChooseDirTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_root;  // canonical path of the temporary tree
    RecordingSink m_sink;

    std::unique_ptr<CChooseDir> Make(const QString& start) {
        auto dlg = std::make_unique<CChooseDir>(m_sink, start);
        return dlg;
    }
    static QLineEdit* Box(CChooseDir* d) { return FindControl<QLineEdit>(d, kIdDirectoryBox); }
    static QListWidget* List(CChooseDir* d) {
        return FindControl<QListWidget>(d, kIdDirectoryList);
    }
    static QStringList Entries(CChooseDir* d) {
        QStringList entries;
        for (int i = 0; i < List(d)->count(); ++i) entries << List(d)->item(i)->text();
        return entries;
    }
    static void Confirm(CChooseDir* d) { FindControl<QPushButton>(d, kIdOk)->click(); }

private slots:
    void initTestCase() {
        QVERIFY(m_tmp.isValid());
        m_root = QDir(m_tmp.path()).canonicalPath();
        QDir dir(m_root);
        for (const char* sub : {"alpha", "Beta", "gamma", "alpha/inner"}) QVERIFY(dir.mkpath(sub));
    }
    void init() { m_sink = RecordingSink(); }

    void showsThePathFromTheRootDown() {
        auto dlg = Make(m_root);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Choose Directory"));
        const QStringList levels = m_root.split('/', Qt::SkipEmptyParts);
        const QStringList expected =
            QStringList{"/"} + levels + QStringList{"alpha", "Beta", "gamma"};
        QCOMPARE(Entries(dlg.get()), expected);
        QCOMPARE(List(dlg.get())->currentRow(), levels.size());
        QCOMPARE(Box(dlg.get())->text(), m_root);
        QCOMPARE(dlg->CurrentDirectory(), m_root);
    }

    void missingOrEmptyStartUsesTheWorkingDirectory_data() {
        QTest::addColumn<QString>("start");
        QTest::newRow("empty") << "";
        QTest::newRow("missing") << "/no/such/directory/here";
        QTest::newRow("a file") << "/etc/hostname";
    }
    void missingOrEmptyStartUsesTheWorkingDirectory() {
        QFETCH(QString, start);
        auto dlg = Make(start);
        QCOMPARE(dlg->CurrentDirectory(), QDir::current().canonicalPath());
    }

    void firstPaintHighlightsTheRootButKeepsTheBox() {
        auto dlg = Make(m_root + "/alpha");
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QTRY_COMPARE(List(dlg.get())->currentRow(), 0);
        QCOMPARE(Box(dlg.get())->text(), m_root + "/alpha");
        QCOMPARE(dlg->focusWidget(), List(dlg.get()));
        // OK takes the directory the box names, not the highlighted root.
        Confirm(dlg.get());
        QCOMPARE(dlg->ChosenDirectory(), m_root + "/alpha");
    }

    void selectingAnEntryShowsItsPath() {
        auto dlg = Make(m_root);
        QListWidget* list = List(dlg.get());
        const int depth = static_cast<int>(m_root.split('/', Qt::SkipEmptyParts).size());
        list->setCurrentRow(0);
        QCOMPARE(Box(dlg.get())->text(), QStringLiteral("/"));
        list->setCurrentRow(1);
        QCOMPARE(Box(dlg.get())->text(), "/" + list->item(1)->text());
        list->setCurrentRow(depth - 1);
        QCOMPARE(Box(dlg.get())->text(), QFileInfo(m_root).path());
        // Later subdirectories name themselves, not those listed before them.
        list->setCurrentRow(depth + 3);
        QCOMPARE(Box(dlg.get())->text(), m_root + "/gamma");
        // Typing changes only the box.
        Box(dlg.get())->setText("typed");
        QCOMPARE(list->currentRow(), depth + 3);
    }

    void doubleClickEntersADirectory() {
        auto dlg = Make(m_root);
        QListWidget* list = List(dlg.get());
        const int depth = static_cast<int>(m_root.split('/', Qt::SkipEmptyParts).size());
        emit list->itemDoubleClicked(list->item(depth + 1));  // "alpha"
        QCOMPARE(dlg->CurrentDirectory(), m_root + "/alpha");
        QCOMPARE(Entries(dlg.get()).last(), QStringLiteral("inner"));
        QCOMPARE(Box(dlg.get())->text(), m_root + "/alpha");
        emit list->itemDoubleClicked(list->item(0));
        QCOMPARE(dlg->CurrentDirectory(), QStringLiteral("/"));
        QCOMPARE(Box(dlg.get())->text(), QStringLiteral("/"));
        Confirm(dlg.get());
        QCOMPARE(dlg->ChosenDirectory(), QStringLiteral("/"));
    }

    void driveListOffersTheRoot() {
        auto dlg = Make(m_root);
        auto* drives = FindControl<QComboBox>(dlg.get(), kIdDriveList);
        QVERIFY(drives->findText("/") >= 0);
        QVERIFY(drives->currentIndex() >= 0);
        QCOMPARE(FindControl<QLabel>(dlg.get(), kIdDrivesLabel)->text(),
                 QStringLiteral("Dri&ves:"));
        drives->setCurrentIndex(drives->findText("/"));
        emit drives->activated(drives->currentIndex());
        QCOMPARE(dlg->CurrentDirectory(), QStringLiteral("/"));
    }

    void existingDirectoryIsReturnedAsAFullPath_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as listed") << "%1/alpha"
                                   << "%1/alpha";
        QTest::newRow("trailing separator dropped") << "%1/Beta/"
                                                    << "%1/Beta";
        QTest::newRow("dot segments cleaned") << "%1/alpha/../gamma"
                                              << "%1/gamma";
        QTest::newRow("root") << "/"
                              << "/";
    }
    void existingDirectoryIsReturnedAsAFullPath() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(typed.arg(m_root));
        Confirm(dlg.get());
        QVERIFY(m_sink.messages.empty() && m_sink.questions.empty());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(dlg->ChosenDirectory(), expected.arg(m_root));
    }

    void relativeTextIsTakenFromTheWorkingDirectory() {
        const QString saved = QDir::currentPath();
        QDir::setCurrent(m_root);
        auto dlg = Make("");
        Box(dlg.get())->setText("gamma");
        Confirm(dlg.get());
        QDir::setCurrent(saved);
        QCOMPARE(dlg->ChosenDirectory(), m_root + "/gamma");
    }

    void forbiddenCharactersAreRefused_data() {
        QTest::addColumn<QString>("name");
        for (const char* c : {"*", "?", "|", "<", ">", "\""}) {
            QTest::newRow(c) << QStringLiteral("bad%1name").arg(QLatin1String(c));
        }
    }
    void forbiddenCharactersAreRefused() {
        QFETCH(QString, name);
        auto dlg = Make(m_root);
        const QString typed = m_root + "/" + name;
        Box(dlg.get())->setText(typed);
        Confirm(dlg.get());
        QCOMPARE(m_sink.messages,
                 std::vector<std::string>{(typed + " is not a valid pathname.").toStdString()});
        QVERIFY(m_sink.questions.empty());
        QVERIFY(!QFileInfo::exists(typed));
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QCOMPARE(Box(dlg.get())->text(), typed);
    }

    void backslashAndColonAreOrdinaryCharacters() {
        auto dlg = Make(m_root);
        const QString typed = m_root + "/c:back\\slash";
        Box(dlg.get())->setText(typed);
        m_sink.answers = {true};
        Confirm(dlg.get());
        QVERIFY(m_sink.messages.empty());
        QVERIFY(QFileInfo(typed).isDir());
        QCOMPARE(dlg->ChosenDirectory(), typed);
    }

    void missingDirectoryAnsweredNoIsNotCreated() {
        auto dlg = Make(m_root);
        const QString typed = m_root + "/fresh";
        Box(dlg.get())->setText(typed);
        m_sink.answers = {false};
        Confirm(dlg.get());
        QCOMPARE(
            m_sink.questions,
            std::vector<std::string>{
                ("Directory " + typed + " does not exist.\nCreate this directory?").toStdString()});
        QVERIFY(m_sink.messages.empty());
        QVERIFY(!QFileInfo::exists(typed));
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(dlg->ChosenDirectory().isEmpty());
    }

    void missingDirectoryAnsweredYesIsCreatedAndReturnedAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("plain") << "%1/made";
        QTest::newRow("trailing separator kept") << "%1/made-slash/";
        QTest::newRow("trailing blank kept") << "%1/made blank ";
    }
    void missingDirectoryAnsweredYesIsCreatedAndReturnedAsTyped() {
        QFETCH(QString, typed);
        typed = typed.arg(m_root);
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(typed);
        m_sink.answers = {true};
        Confirm(dlg.get());
        QCOMPARE(m_sink.questions.size(), std::size_t(1));
        QVERIFY(m_sink.messages.empty());
        QVERIFY(QFileInfo(typed).isDir());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(dlg->ChosenDirectory(), typed);
    }

    void onlyOneLevelIsCreated() {
        auto dlg = Make(m_root);
        const QString typed = m_root + "/missing/level";
        Box(dlg.get())->setText(typed);
        m_sink.answers = {true};
        Confirm(dlg.get());
        QCOMPARE(m_sink.messages,
                 std::vector<std::string>{("There was a problem creating " + typed +
                                           ".\nThe new directory was not created.")
                                              .toStdString()});
        QVERIFY(!QFileInfo::exists(m_root + "/missing"));
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QCOMPARE(Box(dlg.get())->text(), typed);
    }

    void emptyBoxAsksThenFails() {
        auto dlg = Make(m_root);
        Box(dlg.get())->clear();
        m_sink.answers = {true};
        Confirm(dlg.get());
        QCOMPARE(m_sink.questions,
                 std::vector<std::string>{"Directory  does not exist.\nCreate this directory?"});
        QCOMPARE(m_sink.messages,
                 std::vector<std::string>{
                     "There was a problem creating .\nThe new directory was not created."});
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
    }

    void aFileIsNotADirectory() {
        const QString file = m_root + "/plain.txt";
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(file);
        m_sink.answers = {true};
        Confirm(dlg.get());
        QCOMPARE(m_sink.questions.size(), std::size_t(1));
        QCOMPARE(m_sink.messages.size(), std::size_t(1));
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
    }

    void cancelReturnsNothing() {
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(m_root + "/never");
        FindControl<QPushButton>(dlg.get(), kIdCancel)->click();
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(dlg->ChosenDirectory().isEmpty());
        QVERIFY(m_sink.questions.empty());
        QVERIFY(!QFileInfo::exists(m_root + "/never"));
    }

    void f1AsksForHelp() {
        auto dlg = Make(m_root);
        int calls = 0;
        dlg->SetHelpHandler([&] { ++calls; });
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(calls, 1);
    }

    void workingDirectoryIsLeftAlone() {
        const QString before = QDir::currentPath();
        auto dlg = Make(m_root);
        emit List(dlg.get())->itemDoubleClicked(
            List(dlg.get())->item(List(dlg.get())->count() - 1));
        Box(dlg.get())->setText(m_root + "/alpha");
        Confirm(dlg.get());
        QCOMPARE(QDir::currentPath(), before);
    }
};

QTEST_MAIN(ChooseDirTest)
#include "choose_dir_test.moc"
