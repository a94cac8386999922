#pragma once

#include <QString>

// A question put to the user, with up to three answers.
struct Question
{
    QString message;
    QString informativeText;
    QString defaultButton;
    QString alternateButton;
    QString otherButton; // empty: no third answer
};

enum class QuestionAnswer { Default = 1, Alternate = 0, Other = -1 };

// Asks the user and waits for the answer (a modal dialog in the application).
class QuestionDialog
{
public:
    virtual ~QuestionDialog() = default;
    virtual QuestionAnswer ask(const Question &question) = 0;
};
