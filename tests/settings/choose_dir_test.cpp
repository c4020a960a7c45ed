#include "choose_dir.h"

#include "control_id.h"
#include "dialog_arrangement.h"
#include "settings_ids.h"
#include "settings_test_support.h"

using namespace corvat;

namespace {
const int kNotAsked = 0, kYes = 1, kNo = 2;
const QString kMessages[] = {
    "", "%1 is not a valid pathname.",
    "There was a problem creating %1.\nThe new directory was not created."};
}  // namespace

class ChooseDirTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_root;   // canonical path of the temporary tree
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

    void showsThePathFromTheRootDownAndTheSelectedEntry() {
        auto dlg = Make(m_root);
        QStringList entries;
        for (int i = 0; i < List(dlg.get())->count(); ++i)
            entries << List(dlg.get())->item(i)->text();
        QCOMPARE(entries, (QStringList{"/"} + m_root.split('/', Qt::SkipEmptyParts) +
                           QStringList{"alpha", "Beta", "gamma"}));
        QCOMPARE(List(dlg.get())->currentRow(), m_depth);
        QCOMPARE(Box(dlg.get())->text(), m_root);
        for (const QString start : {"", "/no/such/directory/here", "/etc/hostname"}) {
            QCOMPARE(Make(start)->CurrentDirectory(), QDir::current().canonicalPath());
        }

        // Selecting an entry shows its path; typing changes only the box.
        QListWidget* list = List(dlg.get());
        const std::pair<int, QString> rows[] = {{0, "/"},
                                                {1, "/" + list->item(1)->text()},
                                                {m_depth - 1, QFileInfo(m_root).path()},
                                                {m_depth + 3, m_root + "/gamma"}};
        for (const auto& [row, path] : rows) {
            list->setCurrentRow(row);
            QCOMPARE(Box(dlg.get())->text(), path);
        }
        Box(dlg.get())->setText("typed");
        QCOMPARE(list->currentRow(), m_depth + 3);
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

    void doubleClickAndDrivesEnterADirectoryAndCancelTakesNone() {
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
        Box(other.get())->setText(m_root + "/never");  // Cancel asks and makes nothing
        FindControl<QPushButton>(other.get(), kIdCancel)->click();
        QVERIFY(other->result() == QDialog::Rejected && other->ChosenDirectory().isEmpty());
        QVERIFY(m_sink.questions.empty() && !QFileInfo::exists(m_root + "/never"));
    }

    // %1 stands for the temporary tree, %2 for the text typed.
    void acceptanceOfTheTypedDirectory_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("question");    // kNotAsked, or asked and answered kYes or kNo
        QTest::addColumn<int>("message");     // index into kMessages
        QTest::addColumn<QString>("chosen");  // empty: the dialog stays open
        QTest::newRow("as listed") << "%1/alpha" << kNotAsked << 0 << "%1/alpha";
        QTest::newRow("trailing separator dropped") << "%1/Beta/" << kNotAsked << 0 << "%1/Beta";
        QTest::newRow("dot segments") << "%1/alpha/../gamma" << kNotAsked << 0 << "%1/gamma";
        QTest::newRow("relative to the working directory")
            << "gamma" << kNotAsked << 0 << "%1/gamma";
        QTest::newRow("root") << "/" << kNotAsked << 0 << "/";
        for (const char* c : {"*", "?", "|", "<", ">", "\""}) {
            QTest::addRow("forbidden %s", c)
                << "%1/bad" + QString(c) + "name" << kNotAsked << 1 << QString();
        }
        QTest::newRow("created") << "%1/made" << kYes << 0 << "%2";
        QTest::newRow("created, separator kept") << "%1/made-slash/" << kYes << 0 << "%2";
        QTest::newRow("created, blank kept") << "%1/made blank " << kYes << 0 << "%2";
        QTest::newRow("backslash and colon are ordinary")
            << "%1/c:back\\slash" << kYes << 0 << "%2";
        QTest::newRow("answered No") << "%1/fresh" << kNo << 0 << QString();
        QTest::newRow("only one level is created") << "%1/missing/level" << kYes << 2 << QString();
        QTest::newRow("empty box") << QString() << kYes << 2 << QString();
        QTest::newRow("a file is not a directory") << "%1/plain.txt" << kYes << 2 << QString();
    }
    void acceptanceOfTheTypedDirectory() {
        QFETCH(QString, typed);
        QFETCH(int, question);
        QFETCH(int, message);
        QFETCH(QString, chosen);
        typed.replace("%1", m_root);
        chosen.replace("%1", m_root).replace("%2", typed);
        QFile file(m_root + "/plain.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString saved = QDir::currentPath();
        QDir::setCurrent(m_root);
        auto dlg = Make(m_root);
        Box(dlg.get())->setText(typed);
        m_sink.answers = {question == kYes};
        Confirm(dlg.get());
        QDir::setCurrent(saved);
        QCOMPARE(m_sink.questions,
                 question ? std::vector{Question(typed)} : std::vector<std::string>{});
        std::vector<std::string> said = m_sink.questions;
        if (message) said.push_back(kMessages[message].arg(typed).toStdString());
        QCOMPARE(m_sink.messages, said);
        QCOMPARE(dlg->result(), int(chosen.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
        QCOMPARE(dlg->ChosenDirectory(), chosen);
        QVERIFY(!QFileInfo::exists(m_root + "/missing"));
        if (!chosen.isEmpty()) QVERIFY(QFileInfo(chosen).isDir());
        if (chosen.isEmpty()) QVERIFY(!QFileInfo(typed).isDir() && Box(dlg.get())->text() == typed);
    }

    void chooserArrangement() {
        CChooseDir dlg(m_sink, m_root);
        test::CheckArrangement(&dlg, QStringLiteral("choose-dir.png"));
        auto* ok = FindControl<QPushButton>(&dlg, kIdOk);
        QWidget* list = FindControl(&dlg, kIdDirectoryList);
        QVERIFY(FindControl(&dlg, kIdDirectoryBox)->y() < list->y());
        QVERIFY(list->y() < FindControl(&dlg, kIdDriveList)->y());
        QVERIFY(ok->x() > list->geometry().right() && ok->isDefault());
    }
};

QTEST_MAIN(ChooseDirTest)
#include "choose_dir_test.moc"
