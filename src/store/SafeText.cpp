#include "SafeText.h"

QString xmlSafeText(const QString &text)
{
    const auto isAllowed = [](char16_t c) {
        return c >= 0x20 ? c != 0xFFFE && c != 0xFFFF : c == u'\t' || c == u'\n' || c == u'\r';
    };
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || !isAllowed(c.unicode()))
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

QString printableText(const QString &text, LineFeeds lineFeeds)
{
    const auto isPrintable = [lineFeeds](char16_t c) {
        if (c == u'\n')
            return lineFeeds == LineFeeds::Keep;
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        const bool reorders = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        return !control && !reorders;
    };
    QString result = text;
    for (QChar &c : result) {
        if (!isPrintable(c.unicode()))
            c = QChar::ReplacementCharacter;
    }
    return result;
}

QString escapedText(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            result += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}
