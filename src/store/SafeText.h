#pragma once

#include <QString>

// Names come from window titles, which any program sets to anything. These make them safe
// where they go; what cannot stay becomes U+FFFD, so nothing is silently dropped.

// Characters XML cannot hold (C0 controls other than tab, line feed and carriage return,
// U+FFFE, U+FFFF and unpaired surrogates) become U+FFFD, so whatever is stored reads back
// as it was.
QString xmlSafeText(const QString &text);

enum class LineFeeds { Replace, Keep };

// A text that can neither drive a terminal nor reorder the rest of its line: C0 and C1
// controls and DEL become U+FFFD (line feeds too, unless kept), and so do the bidirectional
// embedding, override and isolate characters.
QString printableText(const QString &text, LineFeeds lineFeeds = LineFeeds::Replace);

// A text as a message may quote it: control characters and DEL written as "\x1b", so that
// nothing quoted can drive a terminal or break the line.
QString escapedText(const QString &text);
