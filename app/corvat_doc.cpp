#include "corvat_doc.h"

#include <QDir>
#include <QFile>

#include "corvat_view.h"

namespace corvat {

CCorvatDoc::CCorvatDoc(CCorvatView& view, MessageSinkFactory makeMessageSink)
    : m_view(view), m_makeMessageSink(std::move(makeMessageSink)) {}

CCorvatDoc::~CCorvatDoc() = default;

bool CCorvatDoc::OnNewDocument() {
    m_pathName.clear();
    m_view.OnClearWindow();
    return true;
}

bool CCorvatDoc::OnOpenDocument(const QString& path) {
    {
        // Opened only to prove it readable; the content is never loaded here
        // and the file is never written.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_makeMessageSink(m_view.window())
                ->ShowMessage(QObject::tr("Cannot open %1:\n%2.")
                                  .arg(QDir::toNativeSeparators(path), file.errorString())
                                  .toStdString());
            return false;
        }
    }
    m_view.m_strInputPath = path;
    m_view.OnPreviewFile();
    m_pathName = path;
    return true;
}

}  // namespace corvat
