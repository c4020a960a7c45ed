#include "profile_store.h"

#include <QSettings>

namespace corvat {

namespace {

const QString kRecentSection = QStringLiteral("Recent File List");

QString KeyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

// A hand-edited "Path=a,b" comes back from QSettings as a list; the profile
// only knows texts, so it is put back together.
QString ValueText(const QVariant& value) {
    if (value.metaType().id() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

}  // namespace

ProfileStore::ProfileStore()
    : m_iniPath(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvat"),
                          QStringLiteral("Corvat"))
                    .fileName()) {}

ProfileStore::ProfileStore(const QString& iniPath) : m_iniPath(iniPath) {}

int ProfileStore::GetProfileInt(const std::string& section, const std::string& key,
                                int defaultValue) {
    QSettings settings(m_iniPath, QSettings::IniFormat);
    settings.sync();  // pick up what another store or process wrote meanwhile
    const QVariant value = settings.value(KeyPath(section, key));
    if (!value.isValid()) return defaultValue;
    bool ok = false;
    const int number = ValueText(value).trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

std::string ProfileStore::GetProfileString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue) {
    QSettings settings(m_iniPath, QSettings::IniFormat);
    settings.sync();
    const QVariant value = settings.value(KeyPath(section, key));
    if (!value.isValid()) return defaultValue;
    return ValueText(value).toStdString();
}

void ProfileStore::WriteProfileInt(const std::string& section, const std::string& key, int value) {
    QSettings settings(m_iniPath, QSettings::IniFormat);
    settings.setValue(KeyPath(section, key), value);
    settings.sync();
}

void ProfileStore::WriteProfileString(const std::string& section, const std::string& key,
                                      const std::string& value) {
    QSettings settings(m_iniPath, QSettings::IniFormat);
    settings.setValue(KeyPath(section, key), QString::fromStdString(value));
    settings.sync();
}

SettingsValues ProfileStore::LoadSettings() {
    const SettingsValues d;
    const std::string s = kSettingSection;
    auto text = [&](const char* key, const QString& def) {
        return QString::fromStdString(GetProfileString(s, key, def.toStdString()));
    };
    auto number = [&](const char* key, int def) { return GetProfileInt(s, key, def); };

    SettingsValues v;
    v.DateFormat = text("DateFormat", d.DateFormat);
    v.Exist = number("Exist", d.Exist);
    v.Delimiter = number("Delimiter", d.Delimiter);
    v.Path = text("Path", d.Path);
    v.Symbol = text("Symbol", d.Symbol);
    v.Name = text("Name", d.Name);
    v.SkipOn = number("SkipOn", d.SkipOn);
    v.SkipRows = number("SkipRows", d.SkipRows);
    v.DateCol = number("DateCol", d.DateCol);
    v.OpenOn = number("OpenOn", d.OpenOn);
    v.OpenCol = number("OpenCol", d.OpenCol);
    v.HiOn = number("HiOn", d.HiOn);
    v.HiCol = number("HiCol", d.HiCol);
    v.LoOn = number("LoOn", d.LoOn);
    v.LoCol = number("LoCol", d.LoCol);
    v.CloCol = number("CloCol", d.CloCol);
    v.VolOn = number("VolOn", d.VolOn);
    v.VolCol = number("VolCol", d.VolCol);
    v.OIOn = number("OIOn", d.OIOn);
    v.OICol = number("OICol", d.OICol);
    v.Decimal = number("Decimal", d.Decimal);
    v.Thousands = number("Thousands", d.Thousands);
    v.Suffixes = number("Suffixes", d.Suffixes);
    return v;
}

void ProfileStore::SaveSettings(const SettingsValues& v) {
    const std::string s = kSettingSection;
    WriteProfileString(s, "DateFormat", v.DateFormat.toStdString());
    WriteProfileInt(s, "Delimiter", v.Delimiter);
    WriteProfileInt(s, "Exist", v.Exist);
    WriteProfileInt(s, "SkipOn", v.SkipOn);
    WriteProfileInt(s, "SkipRows", v.SkipRows);
    WriteProfileInt(s, "DateCol", v.DateCol);
    WriteProfileInt(s, "OpenOn", v.OpenOn);
    WriteProfileInt(s, "OpenCol", v.OpenCol);
    WriteProfileInt(s, "HiOn", v.HiOn);
    WriteProfileInt(s, "HiCol", v.HiCol);
    WriteProfileInt(s, "LoOn", v.LoOn);
    WriteProfileInt(s, "LoCol", v.LoCol);
    WriteProfileInt(s, "CloCol", v.CloCol);
    WriteProfileInt(s, "VolOn", v.VolOn);
    WriteProfileInt(s, "VolCol", v.VolCol);
    WriteProfileInt(s, "OIOn", v.OIOn);
    WriteProfileInt(s, "OICol", v.OICol);
    WriteProfileInt(s, "Decimal", v.Decimal);
    WriteProfileInt(s, "Thousands", v.Thousands);
    WriteProfileInt(s, "Suffixes", v.Suffixes);
}

QStringList ProfileStore::RecentFiles() {
    const std::string section = kRecentSection.toStdString();
    QStringList files;
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const std::string key = "File" + std::to_string(i);
        const QString file = QString::fromStdString(GetProfileString(section, key, ""));
        if (!file.isEmpty()) files.append(file);
    }
    return files;
}

void ProfileStore::SetRecentFiles(const QStringList& files) {
    QStringList kept;
    for (const QString& file : files) {
        if (!file.isEmpty() && kept.size() < kMaxRecentFiles) kept.append(file);
    }
    QSettings settings(m_iniPath, QSettings::IniFormat);
    settings.beginGroup(kRecentSection);
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= kept.size()) {
            settings.setValue(key, kept[i - 1]);
        } else {
            settings.remove(key);
        }
    }
    settings.endGroup();
    settings.sync();
}

}  // namespace corvat
