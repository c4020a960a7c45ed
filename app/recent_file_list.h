#pragma once

#include <QStringList>

#include "app_ids.h"

namespace corvat {

// The File menu's list of recently opened files, newest first, without
// duplicates and at most `capacity` long.
class RecentFileList {
public:
    explicit RecentFileList(int capacity = kRecentFileCount) : m_capacity(capacity) {}

    // Takes a stored list as it stands, dropping blanks, repeats and the
    // entries beyond the capacity.
    void Assign(const QStringList& files);
    void Add(const QString& file);
    void Remove(const QString& file);

    const QStringList& Files() const { return m_files; }
    int Size() const { return static_cast<int>(m_files.size()); }
    QString At(int index) const { return m_files.value(index); }

    // The menu text of entry `index`: "&1 " and the path, shortened in the
    // middle when long, with ampersands doubled so they show as such.
    QString MenuText(int index) const;

private:
    int m_capacity;
    QStringList m_files;
};

}  // namespace corvat
