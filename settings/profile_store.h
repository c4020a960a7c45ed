#pragma once

#include <QString>
#include <QStringList>

#include "profile.h"
#include "settings_values.h"

namespace corvat {

// The user's profile as an INI file. Nothing is cached: every read opens the
// file afresh and every write reaches the disk before the call returns, so the
// dialog, the conversion flow and the job always see each other's values.
class ProfileStore : public Profile {
public:
    // ~/.config/Corvat/Corvat.ini on Linux (the platform's per-user place).
    ProfileStore();
    explicit ProfileStore(const QString& iniPath);

    QString FileName() const { return m_iniPath; }

    // A missing file, section or key, or a stored text that is not a whole
    // number, reads as the default.
    int GetProfileInt(const std::string& section, const std::string& key,
                      int defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    void WriteProfileInt(const std::string& section, const std::string& key, int value) override;
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;

    // The values the settings dialog is opened with.
    SettingsValues LoadSettings();
    // The values the dialog owns; "Path", "Symbol" and "Name" are left to
    // the conversion job, which writes them only once its checks pass.
    void SaveSettings(const SettingsValues& values);

    // The main window's most recently opened files, newest first, at most four.
    QStringList RecentFiles();
    void SetRecentFiles(const QStringList& files);

    static constexpr int kMaxRecentFiles = 4;

private:
    QString m_iniPath;
};

}  // namespace corvat
