#pragma once

#include <QLabel>

class QAbstractItemView;

// The totals label beneath the outline: a click on it clears the outline's selection, so
// that it shows the total of everything again.
class SumOfTimesLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SumOfTimesLabel(QWidget *parent = nullptr);
    void setOutlineView(QAbstractItemView *view) { m_outlineView = view; }
    // Shows the total. The label's size is fixed, and set again only for a text of another
    // length, so that a new second repaints the label without laying out the window again.
    void showTotal(const QString &text);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QAbstractItemView *m_outlineView = nullptr;
    qsizetype m_sizedForLength = -1;
};
