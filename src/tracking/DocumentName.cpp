#include "DocumentName.h"

namespace {

bool isHorizontalSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// The first `limit` code points of `text`; a valid surrogate pair counts as one and is never split.
QString truncatedToCodePoints(const QString &text, qsizetype limit)
{
    qsizetype codePoints = 0;
    qsizetype i = 0;
    while (i < text.size() && codePoints < limit) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        i += pair ? 2 : 1;
        ++codePoints;
    }
    return i < text.size() ? text.left(i) : text;
}

} // namespace

std::optional<QString> getDocStringNameForName(const QString &title)
{
    qsizetype begin = 0;
    while (begin < title.size() && (isHorizontalSpace(title.at(begin)) || isLineBreak(title.at(begin))))
        ++begin;
    qsizetype end = begin;
    while (end < title.size() && title.at(end) != u'(' && title.at(end) != u'@')
        ++end;
    if (end == begin)
        return std::nullopt;

    while (begin < end && isHorizontalSpace(title.at(begin)))
        ++begin;
    while (end > begin && isHorizontalSpace(title.at(end - 1)))
        --end;
    if (end == begin)
        return std::nullopt;
    QString name = truncatedToCodePoints(title.mid(begin, end - begin), kMaxDocumentNameLength);
    // The cut may fall just after a space; the name stays trimmed.
    qsizetype length = name.size();
    while (length > 0 && isHorizontalSpace(name.at(length - 1)))
        --length;
    name.truncate(length);
    return name;
}
