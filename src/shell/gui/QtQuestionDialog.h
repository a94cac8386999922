#pragma once

#include "tracking/QuestionDialog.h"

class QWidget;

// Asks with a modal message box, over the given window when there is one.
class QtQuestionDialog : public QuestionDialog
{
public:
    explicit QtQuestionDialog(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    QuestionAnswer ask(const Question &question) override;

private:
    QWidget *m_parent;
};
