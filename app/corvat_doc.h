#pragma once

#include <QString>

#include "message_sink_factory.h"

namespace corvat {

class CCorvatView;

// Stands for the opened text file. It holds none of the file's contents: it
// proves the file readable and hands its path to the log view, which
// previews and converts it.
class CCorvatDoc {
public:
    CCorvatDoc(CCorvatView& view, MessageSinkFactory makeMessageSink);
    virtual ~CCorvatDoc();
    CCorvatDoc(const CCorvatDoc&) = delete;
    CCorvatDoc& operator=(const CCorvatDoc&) = delete;

    // Empties the log; the last opened path and date format stay.
    bool OnNewDocument();
    // false (after telling the user why) when the file cannot be read; then
    // nothing changes.
    bool OnOpenDocument(const QString& path);

    // The file last opened successfully, empty after New.
    const QString& PathName() const { return m_pathName; }

private:
    CCorvatView& m_view;
    MessageSinkFactory m_makeMessageSink;
    QString m_pathName;
};

}  // namespace corvat
