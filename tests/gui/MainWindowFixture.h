#pragma once

#include "ControllerFixture.h"
#include "shell/gui/MainWindow.h"
#include "shell/gui/QtQuestionDialog.h"

#include <QModelIndex>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

// What a test saw of the modal message boxes that an action opened, and how it answered them.
struct ModalSeen
{
    int count = 0; // message boxes that opened
    QString title;
    QString text;
    QString informativeText;
    QStringList buttons; // their texts without mnemonics
    QString defaultButton;
    bool windowModal = false; // modal to its parent window only, and that parent is given
    bool answered = false;    // the first box had the button the test wanted, and it was clicked
};

// Runs `action`, answering every modal message box it opens by clicking the button labelled
// `answer`. A box without that button is dismissed, so that a test never hangs; `seen` tells.
ModalSeen runAnsweringMessageBox(const std::function<void()> &action, const QString &answer = QString());
// The same, answering with the Return key, which presses the default button.
ModalSeen runAnsweringMessageBoxWithReturn(const std::function<void()> &action);

// The main window as the application builds it, shown on the offscreen platform, over a
// controller on the scripted desktop and virtual time, with its files in a temporary home.
// Questions go to the scripted dialog, or to real message boxes over the window for the tests
// that answer them by clicking.
class MainWindowFixture : public ControllerFixture
{
protected:
    // Whether `label` shows all of its text inside `area` (one of its ancestors) of the window
    // at its present size: no line cut off at an edge, none left out below.
    static ::testing::AssertionResult showsAllOf(const QLabel &label, const QWidget &area);
    // Resizes the window and lets its layouts follow, as a window manager's resize does.
    void resizeWindow(QSize size);

    enum class Questions { Scripted, MessageBoxes };

    ~MainWindowFixture() override;

    // Starts the application: the controller, then its window, shown, with every row expanded.
    MainWindow &openWindow(Questions questions = Questions::Scripted);

    // The rows as the outline shows them, top to bottom: applications, and indented beneath
    // an expanded application its windows ("  name").
    QStringList shownRows() const;
    // The applications the outline shows, top to bottom.
    QStringList shownApplications() const;
    // The row of that application, or of that window of that application.
    QModelIndex rowOf(const QString &application, const QString &window = QString()) const;
    // A mouse click on the row's name, as the user makes it; Ctrl adds to the selection.
    void clickRow(const QModelIndex &row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString totalText() const;
    // Presses Start/Pause with the mouse.
    void pressCountingButton();

    std::unique_ptr<QtQuestionDialog> messageBoxes;
    std::unique_ptr<MainWindow> window; // declared after the controller: it goes first
};
