#include "recent_file_list.h"

#include <QDir>
#include <algorithm>

namespace corvat {

namespace {

// Paths longer than this are shortened in the middle for the menu, keeping
// the start (the drive or top directories) and the file name.
constexpr int kMenuPathLength = 60;

bool SamePath(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

}  // namespace

void RecentFileList::Assign(const QStringList& files) {
    m_files.clear();
    for (const QString& file : files) {
        if (file.trimmed().isEmpty() || m_files.size() >= m_capacity) {
            continue;
        }
        const bool known = std::any_of(m_files.begin(), m_files.end(),
                                       [&file](const QString& f) { return SamePath(f, file); });
        if (!known) {
            m_files.append(file);
        }
    }
}

void RecentFileList::Add(const QString& file) {
    Remove(file);
    m_files.prepend(file);
    while (m_files.size() > m_capacity) {
        m_files.removeLast();
    }
}

void RecentFileList::Remove(const QString& file) {
    m_files.removeIf([&file](const QString& f) { return SamePath(f, file); });
}

QString RecentFileList::MenuText(int index) const {
    QString path = QDir::toNativeSeparators(At(index));
    if (path.size() > kMenuPathLength) {
        const QString name = path.section(QDir::separator(), -1);
        const int keep = std::max(3, kMenuPathLength - static_cast<int>(name.size()) - 4);
        path = path.left(keep) + QStringLiteral("...") + QDir::separator() + name;
    }
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(path);
}

}  // namespace corvat
