#pragma once

#include "history/HistoryCategories.h"

#include <QWidget>

// The stretches of one day along a strip, under hour labels: coloured by application or by
// category, the whole day or zoomed to the part that holds activity. Hovering a stretch tells its
// application, window, times, category and what put it there. A click selects a stretch, a drag
// a range; the arrow keys step from stretch to stretch, and the context menu (or Enter) asks
// what to do with the selection.
class TimelineStrip : public QWidget
{
    Q_OBJECT

public:
    enum class Colouring { ByApplication, ByCategory };

    explicit TimelineStrip(QWidget *parent = nullptr);
    void setDay(QDate day, QList<HistoryCategories::Piece> pieces);
    // `categories` gives the colours by category; it must outlive the strip's use of it.
    void setColouring(Colouring colouring, const CategorySet *categories);
    // One lane a computer, top to bottom (its device id, empty for this one, and its name); none
    // or one: a single lane for all.
    void setLanes(QList<std::pair<QString, QString>> lanes);
    // Shows only the hours that hold activity (at least one), or the whole day.
    void setZoomed(bool zoomed);
    bool isZoomed() const { return m_zoomed; }

    qsizetype stretchCount() const { return m_pieces.size(); }
    const QList<HistoryCategories::Piece> &pieces() const { return m_pieces; }
    // What hovering at x (and y, in lanes) tells; empty where no stretch is.
    QString toolTipAt(int x, int y = -1) const;
    // The piece under x (and y, in lanes: -1 for any lane), or -1.
    qsizetype pieceAt(int x, int y = -1) const;
    QColor colourOf(const HistoryCategories::Piece &piece) const;
    // A category's colour: grey for "Idle" and "Uncategorized", else the categories' own.
    QColor colourOf(const CategoryPath &category) const;
    static QColor colourOf(const QString &application);
    // A time of day as the user's locale writes it, with its seconds (the hover texts' and the
    // History window's form) or without them.
    static QString clockText(const QDateTime &time, bool seconds = true);
    // The user's locale's short time format, with seconds (added where it has none) or without.
    static QString timeFormat(bool seconds);
    // The categories the day shows, with their colours, for the legend.
    QList<std::pair<QString, QColor>> legend() const;

    // The selected span, or none.
    struct Span
    {
        QDateTime from;
        QDateTime to;
    };
    const std::optional<Span> &selection() const { return m_selection; }
    void setSelection(const std::optional<Span> &span);
    // The selected stretch's piece, when a stretch (not a dragged range) is selected.
    qsizetype selectedPiece() const { return m_selectedPiece; }
    void selectPiece(qsizetype index);
    // The visible span, whole day or zoomed.
    QDateTime viewStart() const { return m_viewStart; }
    QDateTime viewEnd() const { return m_viewEnd; }
    QDateTime timeAt(int x) const;

Q_SIGNALS:
    void selectionChanged();
    // The user asked what to do with the selection, at `globalPosition`.
    void actionsRequested(const QPoint &globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    QSize sizeHint() const override { return {600, 48}; }

private:
    double xOf(const QDateTime &time) const;
    // Where a computer's stretches lie: the whole band, or its lane of it.
    QRectF laneOf(const QString &device) const;
    void updateView();

    QDateTime m_start; // the day's local midnight
    QDateTime m_viewStart;
    QDateTime m_viewEnd;
    QList<HistoryCategories::Piece> m_pieces;
    QList<std::pair<QString, QString>> m_lanes;
    Colouring m_colouring = Colouring::ByApplication;
    const CategorySet *m_categories = nullptr;
    bool m_zoomed = false;
    std::optional<Span> m_selection;
    qsizetype m_selectedPiece = -1;
    std::optional<int> m_dragFrom; // x where a press began
};
