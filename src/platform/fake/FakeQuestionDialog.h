#pragma once

#include "tracking/QuestionDialog.h"

#include <QList>

// Answers questions from a script of answers and records what was asked.
class FakeQuestionDialog : public QuestionDialog
{
public:
    QuestionAnswer ask(const Question &question) override;

    void queueAnswer(QuestionAnswer answer) { m_answers.append(answer); }
    // The answer given once the queued ones are used up.
    void setDefaultAnswer(QuestionAnswer answer) { m_defaultAnswer = answer; }
    const QList<Question> &asked() const { return m_asked; }

private:
    QList<QuestionAnswer> m_answers;
    QList<Question> m_asked;
    QuestionAnswer m_defaultAnswer = QuestionAnswer::Other;
};
