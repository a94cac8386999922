#include "TimelineStrip.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QToolTip>

namespace {

constexpr int kLabelHeight = 14; // the hour labels above the stretches
const QColor kIdleColour(200, 200, 200);
const QColor kUncategorizedColour(150, 150, 150);

} // namespace

// The seconds go after the minutes, with the separator the locale puts before them ("h:mm AP"
// becomes "h:mm:ss AP", "H.mm" becomes "H.mm.ss"), or go with theirs ("HH:mm:ss": "HH:mm").
QString TimelineStrip::timeFormat(bool seconds)
{
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    if (!seconds) {
        static const QRegularExpression secondsPart(QStringLiteral("[^hHmsaApP']*s+"));
        return format.remove(secondsPart);
    }
    if (format.contains(QLatin1Char('s')))
        return format;
    static const QRegularExpression minutes(QStringLiteral("([hH]+)([^hHm']*)(mm?)"));
    const QRegularExpressionMatch match = minutes.match(format);
    if (!match.hasMatch())
        return QStringLiteral("HH:mm:ss");
    const QString separator = match.captured(2).isEmpty() ? QStringLiteral(":") : match.captured(2);
    return format.insert(match.capturedEnd(3), separator + QStringLiteral("ss"));
}

QString TimelineStrip::clockText(const QDateTime &time, bool seconds)
{
    return QLocale().toString(time.toLocalTime().time(), timeFormat(seconds));
}

TimelineStrip::TimelineStrip(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Timeline"));
    setAccessibleDescription(tr("The day's stretches. Arrow keys move between them; Enter or the context menu offers what to do "
                                "with the selection."));
}

QColor TimelineStrip::colourOf(const QString &application)
{
    if (application == Classifier::kIdle)
        return kIdleColour;
    // The same application gets the same colour everywhere, on every day.
    return QColor::fromHsv(int(qHash(application) % 360), 140, 210);
}

QColor TimelineStrip::colourOf(const HistoryCategories::Piece &piece) const
{
    if (m_colouring == Colouring::ByApplication || !m_categories)
        return colourOf(piece.stretch.application);
    return colourOf(piece.classification.category);
}

QColor TimelineStrip::colourOf(const CategoryPath &category) const
{
    if (category == CategoryPath{Classifier::kIdle})
        return kIdleColour;
    if (category == CategoryPath{Classifier::kUncategorized})
        return kUncategorizedColour;
    return m_categories ? QColor(m_categories->colour(category)) : colourOf(categoryPathText(category));
}

QList<std::pair<QString, QColor>> TimelineStrip::legend() const
{
    QList<std::pair<QString, QColor>> entries;
    QStringList seen;
    for (const HistoryCategories::Piece &piece : m_pieces) {
        const QString name = m_colouring == Colouring::ByCategory ? categoryPathText(piece.classification.category) : piece.stretch.application;
        if (!seen.contains(name)) {
            seen.append(name);
            entries.append({name, colourOf(piece)});
        }
    }
    return entries;
}

void TimelineStrip::setDay(QDate day, QList<HistoryCategories::Piece> pieces)
{
    m_start = day.startOfDay();
    m_pieces = std::move(pieces);
    m_selection.reset();
    m_selectedPiece = -1;
    updateView();
    Q_EMIT selectionChanged();
}

void TimelineStrip::setColouring(Colouring colouring, const CategorySet *categories)
{
    m_colouring = colouring;
    m_categories = categories;
    update();
}

void TimelineStrip::setZoomed(bool zoomed)
{
    m_zoomed = zoomed;
    updateView();
}

void TimelineStrip::updateView()
{
    m_viewStart = m_start;
    m_viewEnd = m_start.addDays(1);
    if (m_zoomed && !m_pieces.isEmpty()) {
        // Whole hours around what the day holds.
        QDateTime first = m_pieces.constFirst().stretch.start;
        QDateTime last = m_pieces.constFirst().stretch.end;
        for (const HistoryCategories::Piece &piece : std::as_const(m_pieces)) {
            first = std::min(first, piece.stretch.start);
            last = std::max(last, piece.stretch.end);
        }
        const qint64 hour = 3600 * 1000;
        const qint64 fromStart = std::max<qint64>(0, m_start.msecsTo(first) / hour * hour);
        const qint64 toEnd = std::min<qint64>(m_start.msecsTo(m_viewEnd), (m_start.msecsTo(last) + hour - 1) / hour * hour);
        m_viewStart = m_start.addMSecs(fromStart);
        m_viewEnd = m_start.addMSecs(std::max(toEnd, fromStart + hour));
    }
    update();
}

double TimelineStrip::xOf(const QDateTime &time) const
{
    const double spanMs = double(m_viewStart.msecsTo(m_viewEnd));
    return std::clamp(double(m_viewStart.msecsTo(time)) / spanMs, 0.0, 1.0) * width();
}

QDateTime TimelineStrip::timeAt(int x) const
{
    const double share = std::clamp(double(x) / std::max(1, width()), 0.0, 1.0);
    return m_viewStart.addMSecs(qint64(share * double(m_viewStart.msecsTo(m_viewEnd))));
}

void TimelineStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    // Lines at a step that leaves room for their labels (the times as the user's locale writes
    // them, the widest setting the room): quarter hours when zoomed in, hours or more over the
    // whole day.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    painter.setFont(small);
    int labelWidth = 40;
    for (const QTime widest : {QTime(10, 55), QTime(12, 55), QTime(23, 55)})
        labelWidth = std::max(labelWidth, painter.fontMetrics().horizontalAdvance(clockText(QDateTime(m_start.date(), widest), false)) + 2);
    const qint64 spanMinutes = m_viewStart.secsTo(m_viewEnd) / 60;
    qint64 stepMinutes = 360;
    for (const qint64 step : {5, 10, 15, 30, 60, 120, 180, 360}) {
        if (spanMinutes * (labelWidth + 5) / step <= std::max(1, width())) {
            stepMinutes = step;
            break;
        }
    }
    for (qint64 minute = 0; minute <= spanMinutes; minute += stepMinutes) {
        const QDateTime at = m_viewStart.addSecs(minute * 60);
        const double x = xOf(at);
        painter.setPen(palette().mid().color());
        painter.drawLine(QPointF(x, kLabelHeight), QPointF(x, height()));
        if (minute < spanMinutes) {
            painter.setPen(palette().text().color());
            painter.drawText(QRectF(x + 2, 0, labelWidth, kLabelHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             clockText(at, false));
        }
    }
    // Each computer's lane, named at its left.
    if (m_lanes.size() > 1) {
        painter.setPen(palette().placeholderText().color());
        for (const auto &[device, name] : std::as_const(m_lanes))
            painter.drawText(laneOf(device).adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
    }
    // What added time covers shows beneath it as a thin hatched line; the added time itself is
    // drawn over it, striped, so that it never passes for what the computer saw.
    const auto span = [&](const Stretch &stretch) {
        const double left = xOf(stretch.start);
        return std::pair{left, std::max(left + 1.0, xOf(stretch.end))};
    };
    for (const HistoryCategories::Piece &piece : std::as_const(m_pieces)) {
        const auto [left, right] = span(piece.stretch);
        if (piece.stretch.source == StretchSource::Added)
            continue;
        const QRectF band = laneOf(piece.stretch.device);
        if (piece.stretch.covered > 0.0 && piece.stretch.seconds <= 0.0) {
            painter.fillRect(QRectF(left, band.bottom() - band.height() / 4, right - left, band.height() / 4),
                             QBrush(colourOf(piece), Qt::Dense5Pattern));
            continue;
        }
        painter.fillRect(QRectF(left, band.top(), right - left, band.height()), colourOf(piece));
    }
    for (const HistoryCategories::Piece &piece : std::as_const(m_pieces)) {
        if (piece.stretch.source != StretchSource::Added)
            continue;
        const auto [left, right] = span(piece.stretch);
        const QRectF band = laneOf(piece.stretch.device);
        const QRectF area(left, band.top(), right - left, band.height() * 3 / 4);
        painter.fillRect(area, colourOf(piece));
        painter.fillRect(area, QBrush(colourOf(piece).darker(160), Qt::BDiagPattern));
    }
    if (m_selection) {
        const double left = xOf(m_selection->from);
        const double right = std::max(left + 2.0, xOf(m_selection->to));
        QColor highlight = palette().highlight().color();
        highlight.setAlpha(90);
        painter.fillRect(QRectF(left, 0, right - left, height()), highlight);
        painter.setPen(QPen(palette().highlight().color(), 1));
        painter.drawRect(QRectF(left, 0.5, right - left, height() - 1.0));
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 2, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void TimelineStrip::setLanes(QList<std::pair<QString, QString>> lanes)
{
    m_lanes = std::move(lanes);
    setMinimumHeight(m_lanes.size() > 1 ? kLabelHeight + 6 + 18 * int(m_lanes.size()) : 0);
    update();
}

QRectF TimelineStrip::laneOf(const QString &device) const
{
    const QRectF band(0, kLabelHeight + 3, width(), height() - kLabelHeight - 6);
    const qsizetype lane = std::find_if(m_lanes.cbegin(), m_lanes.cend(), [&](const auto &named) { return named.first == device; }) - m_lanes.cbegin();
    if (m_lanes.size() < 2 || lane >= m_lanes.size())
        return band;
    const double height = band.height() / double(m_lanes.size());
    return QRectF(band.left(), band.top() + height * double(lane), band.width(), height - 1.0);
}

qsizetype TimelineStrip::pieceAt(int x, int y) const
{
    // Added time lies over what it covers.
    qsizetype found = -1;
    for (qsizetype i = 0; i < m_pieces.size(); ++i) {
        const HistoryCategories::Piece &piece = m_pieces.at(i);
        if (y >= 0 && m_lanes.size() > 1) {
            const QRectF lane = laneOf(piece.stretch.device);
            if (y < lane.top() || y > lane.bottom())
                continue;
        }
        if (x >= int(xOf(piece.stretch.start)) && x <= int(std::max(xOf(piece.stretch.start) + 1.0, xOf(piece.stretch.end)))) {
            if (piece.stretch.source == StretchSource::Added)
                return i;
            if (found < 0)
                found = i;
        }
    }
    return found;
}

QString TimelineStrip::toolTipAt(int x, int y) const
{
    const qsizetype index = pieceAt(x, y);
    if (index < 0)
        return {};
    const HistoryCategories::Piece &piece = m_pieces.at(index);
    const Stretch &stretch = piece.stretch;
    QString source;
    switch (stretch.source) {
    case StretchSource::Recorded:
        break;
    case StretchSource::Added:
        source = stretch.note.isEmpty() ? tr("\nAdded by you") : tr("\nAdded by you: %1").arg(stretch.note);
        break;
    case StretchSource::Answered:
        source = tr("\nYour answer for time away");
        break;
    case StretchSource::Corrected:
        source = tr("\nRenamed by you; recorded as %1").arg(stretch.recordedAs.value_or(QString()));
        break;
    }
    if (m_lanes.size() > 1) {
        const auto lane = std::find_if(m_lanes.cbegin(), m_lanes.cend(), [&](const auto &named) { return named.first == stretch.device; });
        if (lane != m_lanes.cend())
            source += tr("\nOn %1").arg(lane->second);
    }
    if (stretch.covered > 0.0)
        source += stretch.seconds > 0.0 ? tr("\nPartly covered by added time") : tr("\nCovered by added time: not counted");
    const QString what = stretch.window ? tr("%1: %2", "application: window title").arg(stretch.application, *stretch.window) : stretch.application;
    return QStringLiteral("%1\n%2 – %3\n%4 (%5)%6")
        .arg(what, clockText(stretch.start), clockText(stretch.end), categoryPathText(piece.classification.category),
             piece.classification.shownExplanation(), source);
}

void TimelineStrip::setSelection(const std::optional<Span> &span)
{
    m_selection = span;
    m_selectedPiece = -1;
    update();
    Q_EMIT selectionChanged();
}

void TimelineStrip::selectPiece(qsizetype index)
{
    if (index < 0 || index >= m_pieces.size())
        return;
    m_selection = Span{m_pieces.at(index).stretch.start, m_pieces.at(index).stretch.end};
    m_selectedPiece = index;
    update();
    Q_EMIT selectionChanged();
}

bool TimelineStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos().x(), help->pos().y());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void TimelineStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragFrom = int(event->position().x());
    QWidget::mousePressEvent(event);
}

void TimelineStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragFrom && std::abs(event->position().x() - *m_dragFrom) >= 3) {
        const QDateTime a = timeAt(*m_dragFrom);
        const QDateTime b = timeAt(int(event->position().x()));
        m_selection = Span{std::min(a, b), std::max(a, b)};
        m_selectedPiece = -1;
        update();
    }
}

void TimelineStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragFrom)
        return;
    const int from = *m_dragFrom;
    m_dragFrom.reset();
    if (std::abs(event->position().x() - from) < 3) {
        const qsizetype index = pieceAt(from, int(event->position().y()));
        if (index >= 0)
            selectPiece(index);
        else
            setSelection(std::nullopt);
        return;
    }
    Q_EMIT selectionChanged();
}

void TimelineStrip::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (m_pieces.isEmpty())
            break;
        const qsizetype step = event->key() == Qt::Key_Left ? -1 : 1;
        const qsizetype next = m_selectedPiece < 0 ? (step > 0 ? 0 : m_pieces.size() - 1) : std::clamp<qsizetype>(m_selectedPiece + step, 0, m_pieces.size() - 1);
        selectPiece(next);
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
        if (m_selection) {
            const double x = (xOf(m_selection->from) + xOf(m_selection->to)) / 2;
            Q_EMIT actionsRequested(mapToGlobal(QPoint(int(x), height() / 2)));
        }
        return;
    case Qt::Key_Escape:
        if (m_selection) {
            setSelection(std::nullopt);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TimelineStrip::contextMenuEvent(QContextMenuEvent *event)
{
    // A right click on a stretch outside the selection selects it first.
    const qsizetype index = pieceAt(event->pos().x(), event->pos().y());
    const QDateTime at = timeAt(event->pos().x());
    if (index >= 0 && (!m_selection || at < m_selection->from || at > m_selection->to))
        selectPiece(index);
    if (m_selection)
        Q_EMIT actionsRequested(event->globalPos());
}
