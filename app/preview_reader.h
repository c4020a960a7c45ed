#pragma once

#include <QStringList>

class QIODevice;

namespace corvat {

inline constexpr int kPreviewLines = 10;
inline constexpr int kPreviewLineLength = 299;

// The first lines of a text file as the log shows them: at most `maxLines`
// pieces of at most `maxChars` characters, without their line ends. A
// longer line is cut into pieces that each count as a line. `device` must
// be open for reading, in text mode so that CR LF line ends count as one.
QStringList ReadPreviewLines(QIODevice& device, int maxLines = kPreviewLines,
                             int maxChars = kPreviewLineLength);

}  // namespace corvat
