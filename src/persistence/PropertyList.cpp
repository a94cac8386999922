#include "PropertyList.h"

#include "SavedState.h"
#include "TimingSnapshot.h"
#include "store/SafeText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QScopeGuard>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDoctype = QStringLiteral( // not translated: the file format's document type
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");

bool isXmlWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isXmlWhitespaceOnly(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return isXmlWhitespace(c); });
}

QStringView trimmedXmlWhitespace(QStringView text)
{
    while (!text.isEmpty() && isXmlWhitespace(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isXmlWhitespace(text.back()))
        text.chop(1);
    return text;
}

// Values quoted in error messages are cut short, their line breaks flattened and their
// control characters escaped: the message must stay one readable line.
QString quoted(QStringView text)
{
    constexpr qsizetype kMaxQuoted = 40;
    QString shown = escapedText(text.left(kMaxQuoted).toString().simplified());
    if (text.size() > kMaxQuoted)
        shown += u'…';
    return u'"' + shown + u'"';
}

// ---------------------------------------------------------------------------------------
// Scalar values

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool parseInteger(QStringView text, QVariant *out)
{
    text = trimmedXmlWhitespace(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    // Hexadecimal is what other readers of the format accept too; Kestrum writes decimal.
    int base = 10;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty())
        return false;
    quint64 magnitude = 0;
    bool overflow = false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const int digit = isAsciiDigit(c)                 ? u - u'0'
            : base == 16 && u >= u'a' && u <= u'f'        ? u - u'a' + 10
            : base == 16 && u >= u'A' && u <= u'F'        ? u - u'A' + 10
                                                          : -1;
        if (digit < 0)
            return false;
        if (magnitude > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            overflow = true;
        magnitude = magnitude * quint64(base) + quint64(digit);
    }
    // Well-formed but out of range: an invalid value, told apart from malformed text.
    constexpr quint64 kMaxSigned = quint64(std::numeric_limits<qint64>::max());
    if (overflow) {
        *out = QVariant();
    } else if (negative) {
        if (magnitude > kMaxSigned + 1)
            *out = QVariant();
        else
            *out = magnitude == kMaxSigned + 1 ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    } else if (magnitude > kMaxSigned) {
        *out = QVariant::fromValue<quint64>(magnitude);
    } else {
        *out = QVariant::fromValue<qint64>(qint64(magnitude));
    }
    return true;
}

// The decimal form [+-](digits[.digits] | .digits)[e[+-]digits]. Text of this form that
// does not convert lies beyond a double's range ("1e999").
bool isDecimalReal(QStringView text)
{
    qsizetype i = 0;
    const auto skipDigits = [&] {
        const qsizetype from = i;
        while (i < text.size() && isAsciiDigit(text[i]))
            ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype mantissaDigits = skipDigits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (skipDigits() == 0)
            return false;
    }
    return i == text.size();
}

enum class RealParse { Ok, Malformed, OutOfRange };

RealParse parseReal(QStringView text, double *out)
{
    text = trimmedXmlWhitespace(text);
    if (text.compare(u"nan", Qt::CaseInsensitive) == 0) {
        *out = std::numeric_limits<double>::quiet_NaN();
        return RealParse::Ok;
    }
    for (QStringView name : {u"inf", u"infinity", u"+inf", u"+infinity", u"-inf", u"-infinity"}) {
        if (text.compare(name, Qt::CaseInsensitive) == 0) {
            *out = name.startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::infinity();
            return RealParse::Ok;
        }
    }
    if (!isDecimalReal(text))
        return RealParse::Malformed;
    // QByteArray::toDouble always reads the C locale's form, whatever the user's locale.
    bool ok = false;
    const double value = text.toLatin1().toDouble(&ok);
    if (!ok)
        return RealParse::OutOfRange;
    *out = value;
    return RealParse::Ok;
}

QByteArray realText(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("+infinity") : QByteArrayLiteral("-infinity");
    // QByteArray::number drops the sign of zero.
    if (value == 0)
        return std::signbit(value) ? QByteArrayLiteral("-0") : QByteArrayLiteral("0");
    // The shortest text that reads back to the same double; QByteArray::number ignores the locale.
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// The one date form of the format: "2026-01-05T09:00:00Z", always UTC, whole seconds.
bool parseDate(QStringView text, QDateTime *out)
{
    text = trimmedXmlWhitespace(text);
    static constexpr char16_t kPattern[] = u"dddd-dd-ddTdd:dd:ddZ";
    constexpr qsizetype kLength = std::size(kPattern) - 1;
    if (text.size() != kLength)
        return false;
    for (qsizetype i = 0; i < kLength; ++i) {
        const char16_t c = text[i].unicode();
        if (kPattern[i] == u'd' ? (c < u'0' || c > u'9') : c != kPattern[i])
            return false;
    }
    const auto number = [text](qsizetype from, qsizetype length) { return text.mid(from, length).toInt(); };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!date.isValid() || !time.isValid())
        return false;
    *out = QDateTime(date, time, Qt::UTC);
    return true;
}

bool parseData(QStringView text, QByteArray *out)
{
    QByteArray base64;
    base64.reserve(text.size());
    for (QChar c : text) {
        if (isXmlWhitespace(c))
            continue;
        if (c.unicode() >= 0x80)
            return false;
        base64.append(char(c.unicode()));
    }
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    *out = std::move(decoded.decoded);
    return true;
}

// ---------------------------------------------------------------------------------------
// Reading

// A recursive descent over the stream reader. Nesting is bounded by kMaxNesting, so the
// recursion is too.
class Reader
{
    Q_DECLARE_TR_FUNCTIONS(PropertyList)

public:
    explicit Reader(const QByteArray &xml)
        : m_xml(xml)
    {
        // Prefixed names such as <x:dict> must not pass for the format's elements.
        m_xml.setNamespaceProcessing(false);
    }

    PropertyListResult read()
    {
        QVariant value;
        if (!readDocument(&value))
            return {QVariant(), m_error};
        return {value, QString()};
    }

private:
    struct Position
    {
        qint64 line = 0;
        qint64 column = 0;
    };

    Position position() const { return {m_xml.lineNumber(), m_xml.columnNumber() + 1}; }

    bool fail(Position at, const QString &what)
    {
        m_error = tr("line %1, column %2: %3").arg(at.line).arg(at.column).arg(what);
        return false;
    }

    bool fail(const QString &what) { return fail(position(), what); }

    bool failXml()
    {
        return fail(m_xml.hasError() ? m_xml.errorString() : tr("unexpected end of the document"));
    }

    bool failEntity()
    {
        return fail(tr("reference to the undeclared entity &%1;").arg(m_xml.name()));
    }

    QString elementName() const { return u'<' + m_xml.qualifiedName().toString() + u'>'; }

    // Entities declared in the document could expand without bound, so an internal subset
    // is refused outright, before anything could refer to it.
    bool checkDoctype()
    {
        bool inSubset = false;
        QChar quote;
        for (QChar c : m_xml.text()) {
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'[') {
                inSubset = true;
                break;
            }
        }
        if (inSubset || !m_xml.entityDeclarations().isEmpty() || !m_xml.notationDeclarations().isEmpty())
            return fail(tr("a document type declaration with an internal subset is not accepted"));
        return true;
    }

    // Moves to the next start or end tag, passing over comments, processing instructions
    // and whitespace between elements.
    bool nextTag()
    {
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::Characters:
                if (m_xml.isWhitespace())
                    continue;
                return fail(tr("text %1 where an element is expected")
                                .arg(quoted(trimmedXmlWhitespace(m_xml.text()))));
            case QXmlStreamReader::EntityReference:
                return failEntity();
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                continue;
            default:
                return failXml();
            }
        }
    }

    // Collects the text of `element`, an element that holds nothing else.
    bool readText(QStringView element, QString *text)
    {
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                text->append(m_xml.text());
                continue;
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                continue;
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::StartElement:
                return fail(tr("unexpected %1 inside %2").arg(elementName(), element.toString()));
            case QXmlStreamReader::EntityReference:
                return failEntity();
            default:
                return failXml();
            }
        }
    }

    bool readDocument(QVariant *out)
    {
        for (bool atRoot = false; !atRoot;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartDocument:
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                continue;
            case QXmlStreamReader::DTD:
                if (!checkDoctype())
                    return false;
                continue;
            case QXmlStreamReader::Characters:
                if (m_xml.isWhitespace())
                    continue;
                return failXml();
            case QXmlStreamReader::StartElement:
                atRoot = true;
                continue;
            case QXmlStreamReader::EndDocument:
                return fail(tr("the document holds no <plist> element"));
            default:
                return failXml();
            }
        }
        if (m_xml.qualifiedName() != u"plist")
            return fail(tr("the root element is %1, not <plist>").arg(elementName()));
        const QXmlStreamAttributes attributes = m_xml.attributes();
        if (attributes.hasAttribute(QStringLiteral("version")) && attributes.value(QStringLiteral("version")) != u"1.0") {
            return fail(tr("unsupported property-list version %1")
                            .arg(quoted(attributes.value(QStringLiteral("version")))));
        }

        if (!nextTag())
            return false;
        if (m_xml.isEndElement())
            return fail(tr("<plist> holds no value"));
        if (!readValue(out, 0) || !nextTag())
            return false;
        if (m_xml.isStartElement())
            return fail(tr("<plist> holds more than one value"));

        // Whatever follows the root must still be well-formed.
        while (!m_xml.atEnd()) {
            if (m_xml.readNext() == QXmlStreamReader::Invalid)
                return failXml();
        }
        return !m_xml.hasError() || failXml();
    }

    // Reads the value whose start tag the reader is on, inside `depth` containers.
    bool readValue(QVariant *out, int depth)
    {
        const QStringView name = m_xml.qualifiedName();
        const Position at = position();
        if (name == u"dict" || name == u"array") {
            if (depth >= PropertyList::kMaxNesting)
                return fail(at, tr("more than %1 nested containers").arg(PropertyList::kMaxNesting));
            return name == u"dict" ? readDict(out, depth + 1) : readArray(out, depth + 1);
        }
        if (name == u"key")
            return fail(at, tr("<key> outside a <dict>"));

        enum class Kind { String, Integer, Real, Date, Data, True, False };
        // The element's name for messages: the reader's own view of it lasts only until it reads on.
        static constexpr std::pair<Kind, QStringView> kKinds[] = {
            {Kind::String, u"<string>"}, {Kind::Integer, u"<integer>"}, {Kind::Real, u"<real>"}, {Kind::Date, u"<date>"},
            {Kind::Data, u"<data>"},     {Kind::True, u"<true>"},       {Kind::False, u"<false>"},
        };
        const auto known = std::find_if(std::begin(kKinds), std::end(kKinds),
                                        [name](const auto &kind) { return kind.second.mid(1).chopped(1) == name; });
        if (known == std::end(kKinds))
            return fail(at, tr("unknown element %1").arg(elementName()));
        const Kind kind = known->first;
        const QStringView element = known->second;

        QString text;
        if (!readText(known->second, &text))
            return false;
        const auto malformed = [&] {
            return fail(at, tr("malformed %1 value %2").arg(element, quoted(text)));
        };
        const auto outOfRange = [&] {
            return fail(at, tr("%1 value %2 is out of range").arg(element, quoted(text)));
        };

        switch (kind) {
        case Kind::String:
            *out = text;
            return true;
        case Kind::Integer:
            if (!parseInteger(text, out))
                return malformed();
            return out->isValid() || outOfRange();
        case Kind::Real: {
            double value = 0;
            switch (parseReal(text, &value)) {
            case RealParse::Ok:
                *out = value;
                return true;
            case RealParse::Malformed:
                return malformed();
            case RealParse::OutOfRange:
                return outOfRange();
            }
            return false;
        }
        case Kind::Date: {
            QDateTime value;
            if (!parseDate(text, &value))
                return malformed();
            *out = value;
            return true;
        }
        case Kind::Data: {
            QByteArray value;
            if (!parseData(text, &value))
                return malformed();
            *out = value;
            return true;
        }
        case Kind::True:
        case Kind::False:
            if (!isXmlWhitespaceOnly(text))
                return fail(at, tr("%1 holds text %2").arg(element, quoted(text)));
            *out = kind == Kind::True;
            return true;
        }
        return false;
    }

    bool readDict(QVariant *out, int depth)
    {
        PropertyListDictionary dict;
        for (;;) {
            if (!nextTag())
                return false;
            if (m_xml.isEndElement())
                break;
            if (m_xml.qualifiedName() != u"key")
                return fail(tr("expected <key> in <dict>, found %1").arg(elementName()));
            QString key;
            if (!readText(u"<key>", &key) || !nextTag())
                return false;
            if (m_xml.isEndElement() || m_xml.qualifiedName() == u"key")
                return fail(tr("key %1 has no value").arg(quoted(key)));
            QVariant value;
            if (!readValue(&value, depth))
                return false;
            dict.insert(key, value);
        }
        *out = QVariant::fromValue(std::move(dict));
        return true;
    }

    bool readArray(QVariant *out, int depth)
    {
        QVariantList array;
        for (;;) {
            if (!nextTag())
                return false;
            if (m_xml.isEndElement())
                break;
            QVariant value;
            if (!readValue(&value, depth))
                return false;
            array.append(std::move(value));
        }
        *out = std::move(array);
        return true;
    }

    QXmlStreamReader m_xml;
    QString m_error;
};

// ---------------------------------------------------------------------------------------
// Reading the common form quickly

// Literal bytes with their length known when compiled: the reader compares tags millions of
// times, and a QByteArrayView made from a literal looks for its end each time.
constexpr QByteArrayView operator""_bytes(const char *text, std::size_t size)
{
    return QByteArrayView(text, qsizetype(size));
}

// The form Kestrum, Apple's and Python's writers give: the XML declaration, Apple's document
// type, elements with nothing but whitespace between them, the five named entities and
// character references. It is read straight from the UTF-8 bytes, several times faster than
// through QXmlStreamReader. Anything else, well-formed or not (a comment, CDATA, another
// encoding, any error), is left to the full reader, which accepts or refuses it and says
// where: this reader answers nothing then, and the full one reads from the start.
class CommonFormReader
{
public:
    explicit CommonFormReader(const QByteArray &xml)
        : m_at(xml.constData())
        , m_end(xml.constData() + xml.size())
    {
    }

    std::optional<QVariant> read()
    {
        // not translated: the file format's XML declarations
        const QByteArrayView declarations[] = {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                               "<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<?xml version=\"1.0\"?>"}; // not translated: as above
        for (QByteArrayView declaration : declarations) {
            if (skip(declaration))
                break;
        }
        skipWhitespace();
        static const QByteArray doctype = kDoctype.toLatin1();
        if (skip(doctype))
            skipWhitespace();
        if (!skip("<plist"_bytes))
            return std::nullopt;
        // An attribute needs whitespace before it: "<plistversion=..." is not a plist tag.
        const char *afterName = m_at;
        skipWhitespace();
        if (m_at != afterName && skip("version=\"1.0\""_bytes))
            skipWhitespace();
        if (!skip(">"_bytes))
            return std::nullopt;
        QVariant value;
        skipWhitespace();
        if (!readValue(&value, 0))
            return std::nullopt;
        skipWhitespace();
        if (!skip("</plist>"_bytes))
            return std::nullopt;
        skipWhitespace();
        if (m_at != m_end)
            return std::nullopt;
        return value;
    }

private:
    bool skip(QByteArrayView text)
    {
        if (m_end - m_at >= text.size() && std::memcmp(m_at, text.data(), size_t(text.size())) == 0) {
            m_at += text.size();
            return true;
        }
        return false;
    }

    static bool is(QByteArrayView name, QByteArrayView tag)
    {
        return name.size() == tag.size() && std::memcmp(name.data(), tag.data(), size_t(tag.size())) == 0;
    }

    void skipWhitespace()
    {
        while (m_at != m_end && (*m_at == ' ' || *m_at == '\t' || *m_at == '\n' || *m_at == '\r'))
            ++m_at;
    }

    // A start tag without attributes: "<name>", or "<name/>" (then `empty` is set).
    bool readStartTag(QByteArrayView *name, bool *empty)
    {
        if (!skip("<"_bytes))
            return false;
        const char *from = m_at;
        while (m_at != m_end && *m_at >= 'a' && *m_at <= 'z')
            ++m_at;
        *name = QByteArrayView(from, m_at - from);
        *empty = skip("/>"_bytes);
        return *empty || skip(">"_bytes);
    }

    // All or nothing: a container's loop reads its next item from where a failed attempt began.
    bool readEndTag(QByteArrayView name)
    {
        const char *from = m_at;
        if (skip("</"_bytes) && skip(name) && skip(">"_bytes))
            return true;
        m_at = from;
        return false;
    }

    // The text up to the end tag of `name`, decoded. Raw carriage returns (which XML turns into
    // line feeds), "]]>" and characters XML cannot hold are left to the full reader.
    bool readText(QByteArrayView name, QString *text)
    {
        const char *from = m_at;
        bool plain = true;
        for (; m_at != m_end && *m_at != '<'; ++m_at) {
            const auto c = static_cast<unsigned char>(*m_at);
            if (c == '&')
                plain = false;
            else if ((c < 0x20 && c != '\t' && c != '\n') || (c == '>' && m_at - from >= 2 && m_at[-1] == ']' && m_at[-2] == ']'))
                return false;
            else if (c >= 0x80)
                plain = false;
        }
        const QByteArrayView raw(from, m_at - from);
        if (!readEndTag(name))
            return false;
        if (plain) {
            *text = QString::fromLatin1(raw); // ASCII
            return true;
        }
        return decode(raw, text);
    }

    // A dictionary key. The same few keys come back in every record, so each is made once and
    // shared: a large file's keys then cost no memory of their own.
    bool readKey(QString *key)
    {
        const char *from = m_at;
        const char *end = static_cast<const char *>(std::memchr(from, '<', size_t(m_end - from)));
        if (end && end - from <= kMaxSharedKey) {
            const QByteArray raw = QByteArray::fromRawData(from, end - from);
            if (const auto known = m_keys.constFind(raw); known != m_keys.constEnd()) {
                m_at = end;
                *key = *known;
                return readEndTag("key"_bytes);
            }
        }
        if (!readText("key"_bytes, key))
            return false;
        if (m_keys.size() < kMaxSharedKeys && end && end - from <= kMaxSharedKey)
            m_keys.insert(QByteArray(from, end - from), *key);
        return true;
    }

    static constexpr qsizetype kMaxSharedKey = 32;
    static constexpr qsizetype kMaxSharedKeys = 64;

    static bool isXmlCharacter(char32_t c)
    {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
            || (c >= 0x10000 && c <= 0x10FFFF);
    }

    // UTF-8 with references; false for malformed UTF-8 or a reference that is not simple.
    static bool decode(QByteArrayView raw, QString *text)
    {
        QString result;
        result.reserve(raw.size());
        for (qsizetype i = 0; i < raw.size();) {
            const auto c = static_cast<unsigned char>(raw[i]);
            if (c == '&') {
                const qsizetype semicolon = raw.indexOf(';', i);
                if (semicolon < 0)
                    return false;
                const QByteArrayView entity = raw.sliced(i + 1, semicolon - i - 1);
                char32_t code = 0;
                if (entity == "lt")
                    code = '<';
                else if (entity == "gt")
                    code = '>';
                else if (entity == "amp")
                    code = '&';
                else if (entity == "quot")
                    code = '"';
                else if (entity == "apos")
                    code = '\'';
                else if (!characterReference(entity, &code))
                    return false;
                result.append(QChar::fromUcs4(code));
                i = semicolon + 1;
                continue;
            }
            qsizetype length = 1;
            char32_t code = c;
            if (c >= 0x80) {
                length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
                if (length == 0 || c > 0xF4 || i + length > raw.size())
                    return false;
                code = c & (0x7F >> length);
                for (qsizetype k = 1; k < length; ++k) {
                    const auto next = static_cast<unsigned char>(raw[i + k]);
                    if ((next & 0xC0) != 0x80)
                        return false;
                    code = (code << 6) | (next & 0x3F);
                }
                // Overlong forms and surrogates are malformed UTF-8.
                static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
                if (code < kSmallest[length] || !isXmlCharacter(code))
                    return false;
            }
            result.append(QChar::fromUcs4(code));
            i += length;
        }
        *text = std::move(result);
        return true;
    }

    static bool characterReference(QByteArrayView entity, char32_t *code)
    {
        if (!entity.startsWith('#') || entity.size() < 2 || entity.size() > 9)
            return false;
        const bool hex = entity[1] == 'x';
        const QByteArrayView digits = entity.sliced(hex ? 2 : 1);
        // toUInt would take a sign and spaces around the digits too; those are not references.
        const auto isDigit = [hex](char c) {
            return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        };
        if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDigit))
            return false;
        bool ok = false;
        const uint value = digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return false;
        *code = value;
        return isXmlCharacter(value);
    }

    // A real as writers give it, "-12.5" or "1.5e-3", read straight from the bytes. Anything
    // else (spaces, "+", infinities, a value that is zero, subnormal or out of range, where
    // readers differ in what they accept) goes the general way: nothing is consumed then.
    std::optional<double> readPlainReal()
    {
        const char *from = m_at;
        const char *end = from;
        while (end != m_end && ((*end >= '0' && *end <= '9') || *end == '.' || *end == '-' || *end == 'e' || *end == 'E'))
            ++end;
        double value = 0;
        const auto [last, error] = std::from_chars(from, end, value, std::chars_format::general);
        if (end == from || last != end || error != std::errc() || std::fpclassify(value) != FP_NORMAL)
            return std::nullopt;
        m_at = end;
        if (!readEndTag("real"_bytes)) {
            m_at = from;
            return std::nullopt;
        }
        return value;
    }

    bool readValue(QVariant *out, int depth)
    {
        QByteArrayView name;
        bool empty = false;
        if (!readStartTag(&name, &empty))
            return false;
        if (is(name, "dict"_bytes) || is(name, "array"_bytes)) {
            if (depth >= PropertyList::kMaxNesting)
                return false;
            return is(name, "dict"_bytes) ? readDict(out, empty, depth + 1) : readArray(out, empty, depth + 1);
        }
        if (is(name, "true"_bytes) || is(name, "false"_bytes)) {
            *out = is(name, "true"_bytes);
            return empty;
        }
        if (is(name, "real"_bytes) && !empty) {
            if (const std::optional<double> value = readPlainReal()) {
                *out = *value;
                return true;
            }
        }
        QString text;
        if (!empty && !readText(name, &text))
            return false;
        if (is(name, "string"_bytes)) {
            *out = std::move(text);
            return true;
        }
        if (is(name, "real"_bytes)) {
            double value = 0;
            if (parseReal(text, &value) != RealParse::Ok)
                return false;
            *out = value;
            return true;
        }
        if (is(name, "integer"_bytes))
            return parseInteger(text, out) && out->isValid();
        if (is(name, "date"_bytes)) {
            QDateTime value;
            if (!parseDate(text, &value))
                return false;
            *out = value;
            return true;
        }
        if (is(name, "data"_bytes)) {
            QByteArray value;
            if (!parseData(text, &value))
                return false;
            *out = value;
            return true;
        }
        return false;
    }

    bool readDict(QVariant *out, bool empty, int depth)
    {
        PropertyListDictionary dict;
        // A timing file's dictionaries (a record, an application's entry) hold two keys each.
        if (!empty)
            dict.reserve(2);
        for (skipWhitespace(); !empty && !readEndTag("dict"_bytes); skipWhitespace()) {
            QString key;
            QVariant value;
            if (!skip("<key>"_bytes) || !readKey(&key))
                return false;
            skipWhitespace();
            if (!readValue(&value, depth))
                return false;
            dict.insert(key, value);
        }
        *out = QVariant::fromValue(std::move(dict));
        return true;
    }

    bool readArray(QVariant *out, bool empty, int depth)
    {
        QVariantList array;
        for (skipWhitespace(); !empty && !readEndTag("array"_bytes); skipWhitespace()) {
            QVariant value;
            if (!readValue(&value, depth))
                return false;
            array.append(std::move(value));
        }
        *out = std::move(array);
        return true;
    }

    const char *m_at;
    const char *const m_end;
    QHash<QByteArray, QString> m_keys; // by their text in the file
};

// ---------------------------------------------------------------------------------------
// Writing

// Writes straight into one growing buffer, one tab per level as Apple's writer does. The
// timings make up nearly all of a settings file, and a store of 100,000 windows must be
// written in a fraction of a second, so nothing here allocates per value but the numbers.
class Writer
{
    Q_DECLARE_TR_FUNCTIONS(PropertyList)

public:
    explicit Writer(QByteArray *out)
        : m_out(*out)
    {
    }

    bool write(const QVariant &value, QString *error)
    {
        m_out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"); // not translated: the file format
        m_out.append(kDoctype.toLatin1());
        m_out.append("\n<plist version=\"1.0\">\n"); // not translated: the file format
        if (!writeValue(value, 0)) {
            if (error)
                *error = m_error;
            return false;
        }
        m_out.append("</plist>\n");
        return true;
    }

private:
    // Where the value being written sits, named only when something cannot be written.
    struct Step
    {
        const QString *key = nullptr;
        qsizetype index = 0;
    };

    bool fail(const QString &what)
    {
        QStringList path;
        for (const Step &step : std::as_const(m_path))
            path.append(step.key ? *step.key : QString::number(step.index));
        const QString where = path.isEmpty() ? tr("the top level") : path.join(u'/');
        m_error = tr("cannot write %1 at %2").arg(what, where);
        return false;
    }

    // The output is written through a pointer into room made at its end and cut back to what
    // was used: appending byte by byte through QByteArray took a third of a large save.
    char *beginTail(qsizetype most)
    {
        const qsizetype size = m_out.size();
        m_out.resize(size + most);
        return m_out.data() + size;
    }
    void endTail(const char *end) { m_out.truncate(end - m_out.constData()); }

    static char *put(char *at, std::string_view bytes)
    {
        std::memcpy(at, bytes.data(), bytes.size());
        return at + bytes.size();
    }
    static char *putIndent(char *at, int depth)
    {
        std::memset(at, '\t', size_t(depth) + 1);
        return at + depth + 1;
    }

    // A line of markup at `depth`, such as "<dict>\n".
    void writeLine(int depth, std::string_view markup)
    {
        endTail(put(putIndent(beginTail(depth + 1 + qsizetype(markup.size())), depth), markup));
    }

    // UTF-8 with the markup characters escaped. Characters XML cannot hold become U+FFFD, and a
    // carriage return is a character reference, since a literal one would read back as a line feed.
    // A text is escaped in pieces, so that a huge one never asks for six times its size at once.
    void appendEscaped(const QString &text)
    {
        constexpr qsizetype kPiece = 4096;
        constexpr qsizetype kMostBytesPerUnit = 6; // "&quot;"
        const char16_t *c = reinterpret_cast<const char16_t *>(text.constData());
        const char16_t *const end = c + text.size();
        while (c != end) {
            const char16_t *pieceEnd = c + std::min<qsizetype>(end - c, kPiece);
            if (pieceEnd != end && QChar::isHighSurrogate(pieceEnd[-1]))
                ++pieceEnd; // a surrogate pair stays in one piece
            char *out = beginTail(kMostBytesPerUnit * (pieceEnd - c));
            for (; c != pieceEnd; ++c) {
                const char16_t u = *c;
                if (u < 0x80) {
                    switch (u) {
                    case u'<': out = put(out, "&lt;"); break;
                    case u'>': out = put(out, "&gt;"); break;
                    case u'&': out = put(out, "&amp;"); break;
                    case u'"': out = put(out, "&quot;"); break;
                    case u'\r': out = put(out, "&#13;"); break;
                    default:
                        if (u < 0x20 && u != u'\t' && u != u'\n')
                            out = putUtf8(out, QChar::ReplacementCharacter);
                        else
                            *out++ = char(u);
                    }
                } else if (QChar::isHighSurrogate(u) && c + 1 != pieceEnd && QChar::isLowSurrogate(c[1])) {
                    out = putUtf8(out, QChar::surrogateToUcs4(u, c[1]));
                    ++c;
                } else if (QChar::isSurrogate(u) || u == 0xFFFE || u == 0xFFFF) {
                    out = putUtf8(out, QChar::ReplacementCharacter);
                } else {
                    out = putUtf8(out, u);
                }
            }
            endTail(out);
        }
    }

    static char *putUtf8(char *at, char32_t u)
    {
        if (u < 0x800) {
            *at++ = char(0xC0 | (u >> 6));
        } else if (u < 0x10000) {
            *at++ = char(0xE0 | (u >> 12));
            *at++ = char(0x80 | ((u >> 6) & 0x3F));
        } else {
            *at++ = char(0xF0 | (u >> 18));
            *at++ = char(0x80 | ((u >> 12) & 0x3F));
            *at++ = char(0x80 | ((u >> 6) & 0x3F));
        }
        *at++ = char(0x80 | (u & 0x3F));
        return at;
    }

    static char *putTag(char *at, std::string_view element, bool closing)
    {
        *at++ = '<';
        if (closing)
            *at++ = '/';
        at = put(at, element);
        *at++ = '>';
        return at;
    }

    // <element>text</element> on a line of its own; `element` is a literal tag name.
    void writeElement(int depth, std::string_view element, const QString &text)
    {
        const auto tagRoom = qsizetype(element.size()) + 3;
        endTail(putTag(putIndent(beginTail(depth + 1 + tagRoom), depth), element, false));
        appendEscaped(text);
        char *at = putTag(beginTail(tagRoom + 1), element, true);
        *at++ = '\n';
        endTail(at);
    }

    void writeAsciiElement(int depth, std::string_view element, QByteArrayView text)
    {
        char *at = beginTail(depth + 1 + 2 * (qsizetype(element.size()) + 3) + text.size() + 1);
        at = putTag(putIndent(at, depth), element, false);
        at = put(at, std::string_view(text.data(), size_t(text.size())));
        at = putTag(at, element, true);
        *at++ = '\n';
        endTail(at);
    }

    template<typename Entries>
    bool writeDict(const Entries &entries, int depth)
    {
        openContainer(depth, "dict", entries.size() == 0);
        for (const auto &[key, value] : entries) {
            writeElement(depth + 1, "key", key);
            m_path.append({&key, 0});
            if (!writeValue(value, depth + 1))
                return false;
            m_path.removeLast();
        }
        closeContainer(depth, "dict", entries.size() == 0);
        return true;
    }

    template<typename Map>
    bool writeSortedDict(const Map &map, int depth)
    {
        QList<std::pair<QString, QVariant>> entries;
        entries.reserve(map.size());
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            entries.append({it.key(), it.value()});
        std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        return writeDict(entries, depth);
    }

    template<typename List>
    bool writeArray(const List &list, int depth)
    {
        openContainer(depth, "array", list.isEmpty());
        for (qsizetype i = 0; i < list.size(); ++i) {
            m_path.append({nullptr, i});
            if (!writeValue(QVariant(list.at(i)), depth + 1))
                return false;
            m_path.removeLast();
        }
        closeContainer(depth, "array", list.isEmpty());
        return true;
    }

    bool writeDate(const QDateTime &value, int depth)
    {
        if (!value.isValid())
            return fail(tr("an invalid date"));
        const QDateTime utc = value.toUTC();
        const QDate date = utc.date();
        const QTime time = utc.time();
        if (date.year() < 1 || date.year() > 9999)
            return fail(tr("a date outside the years 1 to 9999"));
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.year(), date.month(), date.day(),
                      time.hour(), time.minute(), time.second());
        writeAsciiElement(depth, "date", QByteArray(text));
        return true;
    }

    // The timings are nearly all of a settings file. They are written straight from the
    // snapshot, exactly as the dictionary it converts to would be, without building that
    // dictionary's hundreds of thousands of values first.
    static constexpr int kTimingsNesting = 4; // the containers around a window's record

    bool writeTimings(const TimingSnapshot &timings, int depth)
    {
        openContainer(depth, "dict", false);
        writeElement(depth + 1, "key", kTimingVersionKey);
        writeElement(depth + 1, "string", kTimingDocumentVersion);
        writeElement(depth + 1, "key", kTimingAppsKey);
        openContainer(depth + 1, "array", timings.applications().empty());
        for (const TimingSnapshot::Application &app : timings.applications()) {
            openContainer(depth + 2, "dict", false);
            writeAsciiElement(depth + 3, "key", "App");
            writeRecord(app.node, depth + 3);
            writeAsciiElement(depth + 3, "key", "Windows");
            openContainer(depth + 3, "array", app.windows.empty());
            for (const TimingSnapshot::Node &window : app.windows)
                writeRecord(window, depth + 4);
            closeContainer(depth + 3, "array", app.windows.empty());
            closeContainer(depth + 2, "dict", false);
        }
        closeContainer(depth + 1, "array", timings.applications().empty());
        closeContainer(depth, "dict", false);
        return true;
    }

    // {"ActiveTime": seconds, "Name": name}, or an empty dictionary for a node without a name.
    void writeRecord(const TimingSnapshot::Node &node, int depth)
    {
        openContainer(depth, "dict", !node.name);
        if (!node.name)
            return;
        writeAsciiElement(depth + 1, "key", "ActiveTime");
        writeAsciiElement(depth + 1, "real", realText(node.activeTime));
        writeAsciiElement(depth + 1, "key", "Name");
        writeElement(depth + 1, "string", *node.name);
        closeContainer(depth, "dict", false);
    }

    // <element> on a line of its own, or <element/> for an empty container, which has no close.
    void openContainer(int depth, std::string_view element, bool empty)
    {
        char *at = putIndent(beginTail(depth + 1 + qsizetype(element.size()) + 4), depth);
        *at++ = '<';
        at = put(at, element);
        endTail(put(at, empty ? "/>\n" : ">\n"));
    }

    void closeContainer(int depth, std::string_view element, bool empty)
    {
        if (empty)
            return;
        char *at = putTag(putIndent(beginTail(depth + 1 + qsizetype(element.size()) + 4), depth), element, true);
        *at++ = '\n';
        endTail(at);
    }

    // `depth` is the number of containers around the value.
    bool writeValue(const QVariant &value, int depth)
    {
        const QMetaType type = value.metaType();
        const bool isContainer = type == QMetaType::fromType<PropertyListDictionary>()
            || type.id() == QMetaType::QVariantMap || type.id() == QMetaType::QVariantHash
            || type.id() == QMetaType::QVariantList || type.id() == QMetaType::QStringList;
        if (isContainer && depth >= PropertyList::kMaxNesting)
            return fail(tr("more than %1 nested containers").arg(PropertyList::kMaxNesting));

        if (type == QMetaType::fromType<PropertyListDictionary>())
            return writeDict(*static_cast<const PropertyListDictionary *>(value.constData()), depth);
        if (type == QMetaType::fromType<TimingSnapshot>() && depth + kTimingsNesting < PropertyList::kMaxNesting)
            return writeTimings(*static_cast<const TimingSnapshot *>(value.constData()), depth);

        switch (type.id()) {
        case QMetaType::QVariantMap:
            return writeSortedDict(*static_cast<const QVariantMap *>(value.constData()), depth);
        case QMetaType::QVariantHash:
            return writeSortedDict(*static_cast<const QVariantHash *>(value.constData()), depth);
        case QMetaType::QVariantList:
            return writeArray(*static_cast<const QVariantList *>(value.constData()), depth);
        case QMetaType::QStringList:
            return writeArray(*static_cast<const QStringList *>(value.constData()), depth);
        case QMetaType::QString:
            writeElement(depth, "string", *static_cast<const QString *>(value.constData()));
            return true;
        case QMetaType::QByteArray:
            writeAsciiElement(depth, "data", value.toByteArray().toBase64());
            return true;
        case QMetaType::QDateTime:
            return writeDate(value.toDateTime(), depth);
        case QMetaType::Bool:
            writeLine(depth, value.toBool() ? "<true/>\n" : "<false/>\n");
            return true;
        case QMetaType::Double:
        case QMetaType::Float:
            writeAsciiElement(depth, "real", realText(value.toDouble()));
            return true;
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
            writeAsciiElement(depth, "integer", QByteArray::number(value.toLongLong()));
            return true;
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            writeAsciiElement(depth, "integer", QByteArray::number(value.toULongLong()));
            return true;
        case QMetaType::UnknownType:
            return fail(tr("an empty value"));
        default:
            // A value that stands for a dictionary, such as a snapshot of the timings, is written
            // as the dictionary it converts to.
            if (QMetaType::canConvert(type, QMetaType::fromType<PropertyListDictionary>()))
                return writeValue(QVariant::fromValue(value.value<PropertyListDictionary>()), depth);
            return fail(tr("a value of type %1").arg(QString::fromLatin1(type.name())));
        }
    }

    QByteArray &m_out;
    QList<Step> m_path;
    QString m_error;
};

// The path is named as a message may quote it: a file name can hold anything.
PropertyListResult fileError(const QString &path, const QString &reason)
{
    return {QVariant(), QStringLiteral("%1: %2").arg(escapedText(path), reason)};
}

} // namespace

namespace PropertyList {

PropertyListResult parse(const QByteArray &xml)
{
    if (std::optional<QVariant> value = CommonFormReader(xml).read())
        return {std::move(*value), QString()};
    return parseWithFullReader(xml);
}

PropertyListResult parseWithFullReader(const QByteArray &xml)
{
    return Reader(xml).read();
}

PropertyListResult readFile(const QString &path)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer. Anything but a regular file is
    // refused right after the open, before a single read.
    const QByteArray nativePath = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fileError(path, qt_error_string(errno));
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });

    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return fileError(path, qt_error_string(errno));
    if (!S_ISREG(status.st_mode))
        return fileError(path, QCoreApplication::translate("PropertyList", "not a regular file"));
    const QString tooLarge = QCoreApplication::translate("PropertyList", "larger than %1 MiB").arg(kMaxFileSize / (1024 * 1024));
    if (status.st_size > kMaxFileSize)
        return fileError(path, tooLarge);

    // The file may grow while it is read; one byte beyond the limit shows that it did.
    QByteArray contents(qMin<qint64>(status.st_size, kMaxFileSize) + 1, Qt::Uninitialized);
    qint64 length = 0;
    for (;;) {
        if (length == contents.size()) {
            if (length > kMaxFileSize)
                return fileError(path, tooLarge);
            contents.resize(qMin<qint64>(contents.size() * 2, kMaxFileSize + 1));
        }
        const ssize_t count = ::read(fd, contents.data() + length, size_t(contents.size() - length));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return fileError(path, qt_error_string(errno));
        }
        if (count == 0)
            break;
        length += count;
    }
    contents.truncate(length);

    PropertyListResult result = parse(contents);
    if (!result.ok())
        result = fileError(path, result.error);
    return result;
}

bool serialize(const QVariant &value, QByteArray *out, QString *error)
{
    // The settings file is written again and again at much the same size: room for the last
    // one and a little more spares the buffer's regrowths and copies.
    static std::atomic<qsizetype> lastSize = 0;
    QByteArray xml;
    xml.reserve(lastSize.load(std::memory_order_relaxed) * 9 / 8 + 4096);
    if (!Writer(&xml).write(value, error))
        return false;
    lastSize.store(xml.size(), std::memory_order_relaxed);
    *out = std::move(xml);
    return true;
}

} // namespace PropertyList
