#include "preview_reader.h"

#include <QIODevice>
#include <QTextStream>
#include <optional>
#include <utility>

namespace corvat {

namespace {

// Character source with one character of look-ahead, so that the reader
// can tell whether a full-length piece ends exactly at its line's end.
class CharSource {
public:
    explicit CharSource(QIODevice& device) : m_stream(&device) {}

    std::optional<QChar> Next() {
        if (m_pending) {
            return std::exchange(m_pending, std::nullopt);
        }
        const QString one = m_stream.read(1);
        if (one.isEmpty()) {
            return std::nullopt;
        }
        return one.front();
    }

    void PutBack(QChar c) { m_pending = c; }

private:
    QTextStream m_stream;
    std::optional<QChar> m_pending;
};

}  // namespace

QStringList ReadPreviewLines(QIODevice& device, int maxLines, int maxChars) {
    CharSource source(device);
    QStringList lines;
    while (lines.size() < maxLines) {
        QString piece;
        bool readAnything = false;
        bool endOfLine = false;
        while (piece.size() < maxChars) {
            const std::optional<QChar> c = source.Next();
            if (!c) {
                break;
            }
            readAnything = true;
            if (*c == u'\n') {
                endOfLine = true;
                break;
            }
            piece.append(*c);
        }
        if (!readAnything) {
            break;
        }
        // A line exactly as long as a piece would otherwise leave its line
        // end for the next read, which would show a blank line that the
        // file does not have.
        if (!endOfLine && piece.size() == maxChars) {
            if (const std::optional<QChar> c = source.Next(); c && *c != u'\n') {
                source.PutBack(*c);
            }
        }
        lines.append(piece);
    }
    return lines;
}

}  // namespace corvat
