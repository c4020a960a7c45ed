#include "choose_dir.h"

#include <QComboBox>
#include <QDir>
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

class ChooseDirTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_root;  // canonical path of the temporary tree
    int m_depth = 0;  // list entries above m_root's own
    test::RecordingSink m_sink;

    std::unique_ptr<CChooseDir> Make(const QString& start) {
        return std::make_unique<CChooseDir>(m_sink, start);
    }
    static QLineEdit* Box(CChooseDir* d) { return FindControl<QLineEdit>(d, kIdDirectoryBox); }
    static QListWidget* List(CChooseDir* d) {
        return FindControl<QListWidget>(d, kIdDirectoryList);
    }
    static void Confirm(CChooseDir* d) { FindControl<QPushButton>(d, kIdOk)->click(); }
    // Types into the box, answers the question (if any) and presses OK.
    std::unique_ptr<CChooseDir> ConfirmTyped(const QString& typed, bool answer = true) {
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(typed);
        m_sink.answers = {answer};
        Confirm(dlg.get());
        return dlg;
    }
    static std::string Question(const QString& dir) {
        return ("Directory " + dir + " does not exist.\nCreate this directory?").toStdString();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_tmp.isValid());
        m_root = QDir(m_tmp.path()).canonicalPath();
        m_depth = static_cast<int>(m_root.split('/', Qt::SkipEmptyParts).size());
        for (const char* sub : {"alpha", "Beta", "gamma", "alpha/inner"}) {
            QVERIFY(QDir(m_root).mkpath(sub));
        }
    }
    void init() { m_sink = test::RecordingSink(); }

    void showsThePathFromTheRootDown() {
        auto dlg = Make(m_root);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Choose Directory"));
        QStringList entries;
        for (int i = 0; i < List(dlg.get())->count(); ++i) entries << List(dlg.get())->item(i)->text();
        QCOMPARE(entries, (QStringList{"/"} + m_root.split('/', Qt::SkipEmptyParts) +
                           QStringList{"alpha", "Beta", "gamma"}));
        QCOMPARE(List(dlg.get())->currentRow(), m_depth);
        QCOMPARE(Box(dlg.get())->text(), m_root);

        for (const QString start : {"", "/no/such/directory/here", "/etc/hostname"}) {
            QCOMPARE(Make(start)->CurrentDirectory(), QDir::current().canonicalPath());
        }
    }

    void firstPaintHighlightsTheRootButKeepsTheBox() {
        auto dlg = Make(m_root + "/alpha");
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QTRY_COMPARE(List(dlg.get())->currentRow(), 0);
        QCOMPARE(Box(dlg.get())->text(), m_root + "/alpha");
        QCOMPARE(dlg->focusWidget(), List(dlg.get()));
        Confirm(dlg.get());  // OK takes the box's directory, not the highlighted root
        QCOMPARE(dlg->ChosenDirectory(), m_root + "/alpha");
    }

    void selectingAnEntryShowsItsPath() {
        auto dlg = Make(m_root);
        QListWidget* list = List(dlg.get());
        const std::pair<int, QString> rows[] = {{0, "/"},
                                                {1, "/" + list->item(1)->text()},
                                                {m_depth - 1, QFileInfo(m_root).path()},
                                                {m_depth + 3, m_root + "/gamma"}};
        for (const auto& [row, path] : rows) {
            list->setCurrentRow(row);
            QCOMPARE(Box(dlg.get())->text(), path);
        }
        Box(dlg.get())->setText("typed");  // typing changes only the box
        QCOMPARE(list->currentRow(), m_depth + 3);
    }

    void doubleClickAndDrivesEnterADirectory() {
        const QString cwd = QDir::currentPath();
        auto dlg = Make(m_root);
        QListWidget* list = List(dlg.get());
        emit list->itemDoubleClicked(list->item(m_depth + 1));  // "alpha"
        QCOMPARE(dlg->CurrentDirectory(), m_root + "/alpha");
        QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("inner"));
        QCOMPARE(Box(dlg.get())->text(), m_root + "/alpha");
        emit list->itemDoubleClicked(list->item(0));
        QCOMPARE(Box(dlg.get())->text(), QStringLiteral("/"));
        Confirm(dlg.get());
        QCOMPARE(dlg->ChosenDirectory(), QStringLiteral("/"));
        QCOMPARE(QDir::currentPath(), cwd);  // the working directory is left alone

        auto other = Make(m_root);
        auto* drives = FindControl<QComboBox>(other.get(), kIdDriveList);
        QVERIFY(drives->currentIndex() >= 0);
        drives->setCurrentIndex(drives->findText("/"));
        emit drives->activated(drives->currentIndex());
        QCOMPARE(other->CurrentDirectory(), QStringLiteral("/"));
    }

    void existingDirectoryIsReturnedAsAFullPath_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as listed") << "%1/alpha" << "%1/alpha";
        QTest::newRow("trailing separator dropped") << "%1/Beta/" << "%1/Beta";
        QTest::newRow("dot segments cleaned") << "%1/alpha/../gamma" << "%1/gamma";
        QTest::newRow("relative to the working directory") << "gamma" << "%1/gamma";
        QTest::newRow("root") << "/" << "/";
    }
    void existingDirectoryIsReturnedAsAFullPath() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const QString saved = QDir::currentPath();
        QDir::setCurrent(m_root);
        auto dlg = ConfirmTyped(typed.arg(m_root));
        QDir::setCurrent(saved);
        QVERIFY(m_sink.messages.empty() && m_sink.questions.empty());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(dlg->ChosenDirectory(), expected.arg(m_root));
    }

    void forbiddenCharactersAreRefused() {
        for (const char* c : {"*", "?", "|", "<", ">", "\""}) {
            m_sink.Clear();
            const QString typed = m_root + "/bad" + QLatin1String(c) + "name";
            auto dlg = ConfirmTyped(typed);
            QCOMPARE(m_sink.messages,
                     std::vector{(typed + " is not a valid pathname.").toStdString()});
            QVERIFY(m_sink.questions.empty());
            QVERIFY(!QFileInfo::exists(typed));
            QCOMPARE(dlg->result(), int(QDialog::Rejected));
            QCOMPARE(Box(dlg.get())->text(), typed);
        }
    }

    void missingDirectoryAnsweredYesIsCreatedAndReturnedAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("plain") << "%1/made";
        QTest::newRow("trailing separator kept") << "%1/made-slash/";
        QTest::newRow("trailing blank kept") << "%1/made blank ";
        QTest::newRow("backslash and colon are ordinary") << "%1/c:back\\slash";
    }
    void missingDirectoryAnsweredYesIsCreatedAndReturnedAsTyped() {
        QFETCH(QString, typed);
        typed = typed.arg(m_root);
        auto dlg = ConfirmTyped(typed);
        QCOMPARE(m_sink.questions, std::vector{Question(typed)});
        QVERIFY(m_sink.messages.empty());
        QVERIFY(QFileInfo(typed).isDir());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(dlg->ChosenDirectory(), typed);
    }

    void missingDirectoryAnsweredNoIsNotCreated() {
        const QString typed = m_root + "/fresh";
        auto dlg = ConfirmTyped(typed, false);
        QCOMPARE(m_sink.questions, std::vector{Question(typed)});
        QVERIFY(m_sink.messages.empty());
        QVERIFY(!QFileInfo::exists(typed));
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(dlg->ChosenDirectory().isEmpty());
    }

    void failedCreationIsReported_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("two levels: only one is created") << "%1/missing/level";
        QTest::newRow("empty box") << "";
        QTest::newRow("a file is not a directory") << "%1/plain.txt";
    }
    void failedCreationIsReported() {
        QFETCH(QString, typed);
        typed = typed.arg(m_root);
        QFile file(m_root + "/plain.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        auto dlg = ConfirmTyped(typed);
        QCOMPARE(m_sink.questions, std::vector{Question(typed)});
        QCOMPARE(m_sink.messages,
                 std::vector{("There was a problem creating " + typed +
                              ".\nThe new directory was not created.")
                                 .toStdString()});
        QVERIFY(!QFileInfo::exists(m_root + "/missing"));
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QCOMPARE(Box(dlg.get())->text(), typed);
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
};

QTEST_MAIN(ChooseDirTest)
#include "choose_dir_test.moc"
