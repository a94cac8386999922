#include "StatusLine.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

StatusLine::StatusLine(QWidget *parent)
    : QStatusBar(parent)
{
    m_message = new QLabel(this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setContentsMargins(4, 0, 0, 0); // where QStatusBar puts its own message
    // The width is the window's to give: a long path in a message must not widen the window.
    // What a line cannot hold then is still in the tooltip.
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Permanent, because showing a message hides the status bar's other widgets.
    addPermanentWidget(m_message, 1);
    connect(this, &QStatusBar::messageChanged, m_message, [this](const QString &text) {
        m_message->setText(text);
        m_message->setToolTip(text);
    });
}

void StatusLine::paintEvent(QPaintEvent *)
{
    // Only the panel: QStatusBar would paint the message a second time, on one line.
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
}
