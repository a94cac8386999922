#include "FakeQuestionDialog.h"

QuestionAnswer FakeQuestionDialog::ask(const Question &question)
{
    m_asked.append(question);
    return m_answers.isEmpty() ? m_defaultAnswer : m_answers.takeFirst();
}
