#include "SumOfTimesLabel.h"

#include <QAbstractItemView>
#include <QMouseEvent>

SumOfTimesLabel::SumOfTimesLabel(QWidget *parent)
    : QLabel(parent)
{
    setToolTip(tr("The total of the selected entries, or of everything when nothing is selected. Click to clear the selection."));
    // Repainted every second: plain text, and a background of its own, so that the window
    // behind it is not painted again with it.
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
}

void SumOfTimesLabel::showTotal(const QString &text)
{
    if (text.size() != m_sizedForLength) {
        // Sized for the widest digits, so that any text of this length fits.
        QChar widest = u'0';
        for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
            if (fontMetrics().horizontalAdvance(QChar(digit)) > fontMetrics().horizontalAdvance(widest))
                widest = QChar(digit);
        }
        QString widened = text;
        for (QChar &c : widened) {
            if (c.isDigit())
                c = widest;
        }
        setText(widened);
        setFixedSize(sizeHint());
        m_sizedForLength = text.size();
    }
    setText(text);
}

void SumOfTimesLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_sizedForLength = -1;
        showTotal(text());
    }
}

void SumOfTimesLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_outlineView && event->button() == Qt::LeftButton)
        m_outlineView->clearSelection();
    event->accept();
}
