#include "SumOfTimesLabel.h"

#include <QAbstractItemView>
#include <QMouseEvent>

SumOfTimesLabel::SumOfTimesLabel(QWidget *parent)
    : QLabel(parent)
{
    setToolTip(tr("The total of the selected entries, or of everything when nothing is selected. Click to clear the selection."));
}

void SumOfTimesLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_outlineView && event->button() == Qt::LeftButton)
        m_outlineView->clearSelection();
    event->accept();
}
