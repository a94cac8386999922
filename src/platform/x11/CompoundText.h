#pragma once

#include <QByteArrayView>
#include <QString>

// Decodes COMPOUND_TEXT, the ISO 2022 text of the ICCCM in which Xt and Xlib clients write
// window titles that Latin-1 cannot hold: ASCII and Latin-1 by default, the other ISO 8859
// parts, the double-byte sets of Chinese, Japanese and Korean, UTF-8 segments, and extended
// segments that name their encoding. What cannot be decoded becomes U+FFFD; it never fails.
QString decodeCompoundText(QByteArrayView text);
