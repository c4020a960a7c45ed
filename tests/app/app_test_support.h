#pragma once

#include "corvat_app.h"
#include "profile_store.h"
#include "settings_test_support.h"
#include "settings_values.h"
#include "test_support.h"

namespace corvat::test {

// A temporary home for one test: a profile file, input files and output
// directories, with the services the program would get, recording instead
// of showing.
class Workspace {
public:
    Workspace();

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString IniPath() const { return Path(QStringLiteral("Corvat.ini")); }
    QString WriteFile(const QString& name, const QByteArray& bytes) const;
    QString MakeDir(const QString& name) const;

    ProfileStore& Profile() { return *m_profile; }
    AppServices Services();

    // Every message and question that reached the user, in order; questions
    // are answered as `sink->answer` says (No by default).
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    QStringList filesToOpen;  // answers of the open-file dialog, in order
    int beeps = 0;
    std::function<void()> onBeep;  // runs at each beep, after counting it

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ProfileStore> m_profile;
};

// Settings for a conversion of the bundled sample style of file:
// date MM/DD/CCYY, seven columns, one header row.
struct ConversionChoice {
    QString path;
    QString symbol = QStringLiteral("SAMPLE");
    QString name = QStringLiteral("Sample Corp");
    bool makeNewMaster = true;
    QString dateFormat = QStringLiteral("MM_DD_CCYY");
    bool skipHeader = true;
};

// Sets the dialog's controls as a user would and presses OK; or presses Cancel.
void FillAndAccept(QDialog* dialog, const ConversionChoice& choice);
void Cancel(QDialog* dialog);

// A small price file in the layout of ConversionChoice.
QByteArray PriceFile(int rows);

}  // namespace corvat::test
