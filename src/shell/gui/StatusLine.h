#pragma once

#include <QStatusBar>

class QLabel;

// The status line beneath the main window. Its messages are shown whole: a long one wraps onto
// more lines instead of being cut off at the window's edge.
class StatusLine : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_message = nullptr;
};
