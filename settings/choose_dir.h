#pragma once

#include <QDialog>
#include <functional>

#include "message_sink.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace corvat {

// "Choose Directory": walk the directory tree or type a directory, and create
// it (one level) if it does not exist yet. Directories are tested without
// changing the process's working directory.
class CChooseDir : public QDialog {
    Q_OBJECT

public:
    // startDir: where the list opens; the working directory when it is empty
    // or names no existing directory.
    CChooseDir(MessageSink& messages, const QString& startDir, QWidget* parent = nullptr);

    // After OK: the directory the box named, as a full path without a trailing
    // separator ("/" for the root), or exactly as typed when it was just
    // created here.
    QString ChosenDirectory() const { return m_chosen; }

    // The directory whose contents the list shows.
    QString CurrentDirectory() const { return m_current; }
    // Makes dir current and refills the list, as a double-click does.
    void EnterDirectory(const QString& dir);

    void SetHelpHandler(std::function<void()> handler);

    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FillDriveList();
    void FillDirectoryList();
    QString EntryPath(int row) const;
    void ShowSelectedPath();
    void OnEntryDoubleClicked(int row);
    void OnDriveChosen(int index);

    MessageSink& m_messages;
    std::function<void()> m_helpHandler;
    QString m_current;    // absolute, canonical
    QString m_directory;  // the path last built from the list or read from the box
    QString m_chosen;
    int m_depth = 0;  // list row of the current directory
    bool m_firstPaint = true;

    QLineEdit* m_box = nullptr;
    QListWidget* m_list = nullptr;
    QComboBox* m_drives = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace corvat
