#include "QtQuestionDialog.h"

#include <QMessageBox>
#include <QPushButton>

QuestionAnswer QtQuestionDialog::ask(const Question &question)
{
    QMessageBox box(m_parent);
    box.setIcon(QMessageBox::Question);
    box.setText(question.message);
    box.setInformativeText(question.informativeText);
    if (m_parent)
        box.setWindowModality(Qt::WindowModal);
    QPushButton *defaultButton = box.addButton(question.defaultButton, QMessageBox::AcceptRole);
    QPushButton *alternateButton = box.addButton(question.alternateButton, QMessageBox::DestructiveRole);
    QPushButton *otherButton = question.otherButton.isEmpty() ? nullptr : box.addButton(question.otherButton, QMessageBox::RejectRole);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(otherButton ? otherButton : defaultButton);
    box.exec();
    if (box.clickedButton() == alternateButton)
        return QuestionAnswer::Alternate;
    if (otherButton && box.clickedButton() == otherButton)
        return QuestionAnswer::Other;
    return QuestionAnswer::Default;
}
