#pragma once

#include <QString>

namespace tarquel {

// The line end of multi-line message prompts, of the information list and of the map file.
inline const QString kCrLf = QStringLiteral("\r\n");

// text with its CR LF and lone CR line ends turned into plain line feeds, as widgets and
// terminals show lines.
QString plainLines(QString text);

}  // namespace tarquel
