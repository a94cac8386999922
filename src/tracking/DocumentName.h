#pragma once

#include <QString>

#include <optional>

// Window titles are input from any program or web page; a document name never grows
// beyond this many Unicode code points.
inline constexpr qsizetype kMaxDocumentNameLength = 1024;

// Reduces a window title to the document name it shows: the text before the first "(" or
// "@", trimmed ("notes.txt (edited)" gives "notes.txt"). None when nothing is left.
std::optional<QString> getDocStringNameForName(const QString &title);
