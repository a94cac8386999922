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

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QAbstractItemView *m_outlineView = nullptr;
};
