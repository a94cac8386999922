#pragma once

#include "PropertyListDictionary.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// What reading a property list gives: the value, or an error text that says what is wrong
// and where ("line 12, column 5: malformed <integer> value \"12x\"").
struct PropertyListResult
{
    QVariant value;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Apple's XML property-list format, version 1.0, into and out of QVariant.
//
// Reading gives: dict -> PropertyListDictionary (the file's key order; of duplicate keys the
// later value wins, in the first one's position), array -> QVariantList, string -> QString,
// real -> double, integer -> qint64 (quint64 above its range), true/false -> bool,
// date -> QDateTime in UTC, data -> QByteArray.
//
// Writing also takes QVariantMap and QVariantHash (keys sorted), QStringList, float and every
// integer type. Every finite double reads back bit for bit; characters XML cannot hold are
// written as U+FFFD, so whatever is written can be read again. Output is UTF-8 and does not
// depend on the locale.
namespace PropertyList {

// Input beyond these limits is refused, so no file can exhaust memory or the stack.
inline constexpr qint64 kMaxFileSize = qint64(256) * 1024 * 1024;
inline constexpr int kMaxNesting = 64;

PropertyListResult parse(const QByteArray &xml);
// What parse() falls back on for any form but the common one; it gives the same results,
// only slower. For tests that hold the two readers to each other.
PropertyListResult parseWithFullReader(const QByteArray &xml);
// Reads a regular file of at most kMaxFileSize bytes; errors start with the path.
PropertyListResult readFile(const QString &path);
bool serialize(const QVariant &value, QByteArray *out, QString *error);

} // namespace PropertyList
