#include "CompoundText.h"

#include <QByteArray>

#include <iconv.h>

#include <cerrno>

namespace {

constexpr char kEscape = '\x1b';

// A character set designated to one half of the code table, and how iconv reads it: the
// bytes of each character with the high bit set (EUC form), behind an optional prefix.
struct CharacterSet
{
    enum class Kind { Latin1, Iconv, Unknown };
    Kind kind = Kind::Latin1;
    const char *encoding = nullptr;
    int width = 1;
    const char *prefix = "";
};

constexpr CharacterSet kLatin1{};
constexpr CharacterSet kUnknownSingle{CharacterSet::Kind::Unknown, nullptr, 1, ""};
constexpr CharacterSet kUnknownDouble{CharacterSet::Kind::Unknown, nullptr, 2, ""};

CharacterSet iconvSet(const char *encoding, int width = 1, const char *prefix = "")
{
    return {CharacterSet::Kind::Iconv, encoding, width, prefix};
}

// "ESC ( F" and "ESC ) F": 94 characters.
CharacterSet set94(char final)
{
    switch (final) {
    case 'B': // ASCII
    case 'J': // JIS X 0201 Roman, ASCII but for two signs
        return kLatin1;
    case 'I': // JIS X 0201 Katakana
        return iconvSet("EUC-JP", 1, "\x8e");
    default:
        return kUnknownSingle;
    }
}

// "ESC - F": the right halves of ISO 8859.
CharacterSet set96(char final)
{
    switch (final) {
    case 'A': return kLatin1;
    case 'B': return iconvSet("ISO-8859-2");
    case 'C': return iconvSet("ISO-8859-3");
    case 'D': return iconvSet("ISO-8859-4");
    case 'F': return iconvSet("ISO-8859-7");
    case 'G': return iconvSet("ISO-8859-6");
    case 'H': return iconvSet("ISO-8859-8");
    case 'L': return iconvSet("ISO-8859-5");
    case 'M': return iconvSet("ISO-8859-9");
    case 'T': return iconvSet("TIS-620");
    case 'V': return iconvSet("ISO-8859-10");
    case 'Y': return iconvSet("ISO-8859-13");
    case '_': return iconvSet("ISO-8859-14");
    case 'b': return iconvSet("ISO-8859-15");
    case 'f': return iconvSet("ISO-8859-16");
    default: return kUnknownSingle;
    }
}

// "ESC $ ( F" and "ESC $ ) F": 94 x 94 characters.
CharacterSet set94x94(char final)
{
    switch (final) {
    case 'A': return iconvSet("EUC-CN", 2);
    case 'B': return iconvSet("EUC-JP", 2);
    case 'C': return iconvSet("EUC-KR", 2);
    case 'D': return iconvSet("EUC-JP", 2, "\x8f"); // JIS X 0212
    default: return kUnknownDouble;
    }
}

// Decodes bytes in an encoding iconv knows; a byte it cannot read becomes U+FFFD.
QString decodeWith(const char *encoding, const QByteArray &bytes)
{
    iconv_t converter = iconv_open("UTF-8", encoding);
    if (converter == iconv_t(-1))
        return QString(bytes.size(), QChar::ReplacementCharacter);
    // Every input byte gives at most three bytes of UTF-8, a replacement character included.
    QByteArray output(bytes.size() * 3 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG || outLeft < 3)
            break;
        // An invalid or cut-off sequence: one replacement, and on with the next byte.
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        *out++ = '\xef';
        *out++ = '\xbf';
        *out++ = '\xbd';
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    return QString::fromUtf8(output.constData(), out - output.constData());
}

// The iconv name of an extended segment's encoding, as X names it ("iso8859-15", "big5-0").
QByteArray encodingOfExtendedSegment(QByteArray name)
{
    name = name.toUpper();
    if (name == "ISO10646-1")
        return QByteArrayLiteral("UTF-16BE");
    if (name.endsWith("-0"))
        name.chop(2);
    return name;
}

QString decodeRun(const CharacterSet &set, QByteArrayView bytes)
{
    switch (set.kind) {
    case CharacterSet::Kind::Latin1:
        return QString::fromLatin1(bytes);
    case CharacterSet::Kind::Unknown:
        return QString(qMax<qsizetype>(1, bytes.size() / set.width), QChar::ReplacementCharacter);
    case CharacterSet::Kind::Iconv:
        break;
    }
    QByteArray euc;
    euc.reserve(bytes.size() * 2);
    for (qsizetype i = 0; i < bytes.size(); i += set.width) {
        euc.append(set.prefix);
        for (qsizetype k = i; k < i + set.width && k < bytes.size(); ++k)
            euc.append(char(uchar(bytes[k]) | 0x80));
    }
    return decodeWith(set.encoding, euc);
}

bool isGraphicLeft(uchar c)
{
    return c >= 0x21 && c <= 0x7e;
}

bool isGraphicRight(uchar c)
{
    return c >= 0xa0;
}

} // namespace

QString decodeCompoundText(QByteArrayView text)
{
    CharacterSet left = kLatin1;  // GL: ASCII
    CharacterSet right = kLatin1; // GR: the right half of Latin-1
    QString result;
    const qsizetype size = text.size();
    const auto at = [&](qsizetype i) { return uchar(text[i]); };

    qsizetype i = 0;
    while (i < size) {
        const uchar c = at(i);
        if (c == uchar(kEscape)) {
            // ESC, intermediate bytes (0x20-0x2f), a final byte (0x30-0x7e).
            qsizetype end = i + 1;
            while (end < size && at(end) >= 0x20 && at(end) <= 0x2f)
                ++end;
            if (end >= size)
                break;
            const QByteArrayView intermediates = text.sliced(i + 1, end - i - 1);
            const char final = char(at(end));
            i = end + 1;
            if (intermediates == "(") {
                left = set94(final);
            } else if (intermediates == ")") {
                right = set94(final);
            } else if (intermediates == "-") {
                right = set96(final);
            } else if (intermediates == "$(" || (intermediates == "$" && final >= 'A' && final <= 'C')) {
                left = set94x94(final);
            } else if (intermediates == "$)") {
                right = set94x94(final);
            } else if (intermediates == "%" && final == 'G') {
                // UTF-8 up to "ESC % @".
                const qsizetype stop = text.sliced(i).indexOf(QByteArrayView("\x1b%@"));
                const qsizetype length = stop < 0 ? size - i : stop;
                result += QString::fromUtf8(text.sliced(i, length));
                i += stop < 0 ? length : length + 3;
            } else if (intermediates == "%/" && final >= '0' && final <= '4') {
                // An extended segment: two length bytes, the encoding's name, STX, the text.
                if (i + 2 > size)
                    break;
                const qsizetype length = qsizetype(at(i) & 0x7f) * 128 + qsizetype(at(i + 1) & 0x7f);
                const QByteArrayView segment = text.sliced(i + 2, qMin(length, size - i - 2));
                i += 2 + segment.size();
                const qsizetype stx = segment.indexOf('\x02');
                if (stx < 0) {
                    result += QChar::ReplacementCharacter;
                    continue;
                }
                const QByteArray encoding = encodingOfExtendedSegment(segment.first(stx).toByteArray());
                result += decodeWith(encoding.constData(), segment.sliced(stx + 1).toByteArray());
            }
            // Any other control sequence (a direction change, an unknown one) shows nothing.
            continue;
        }
        if (c == 0x9b) {
            // CSI, parameter and intermediate bytes, a final byte: direction changes show nothing.
            ++i;
            while (i < size && at(i) >= 0x20 && at(i) <= 0x3f)
                ++i;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\n') {
            result += QLatin1Char(char(c));
            ++i;
            continue;
        }
        const bool inRight = isGraphicRight(c);
        if (!inRight && !isGraphicLeft(c)) {
            ++i; // other control characters are not text
            continue;
        }
        qsizetype end = i;
        while (end < size && (inRight ? isGraphicRight(at(end)) : isGraphicLeft(at(end))))
            ++end;
        result += decodeRun(inRight ? right : left, text.sliced(i, end - i));
        i = end;
    }
    return result;
}
