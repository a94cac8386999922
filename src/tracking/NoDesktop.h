#pragma once

#include "Accessibility.h"
#include "Clock.h"
#include "IdleSource.h"
#include "QuestionDialog.h"
#include "Workspace.h"

// A desktop that shows nothing: no application is in front, no window can be read, no time
// passes and nobody is asked anything. For tools that only read timings, and for sessions
// whose windows Kestrum cannot see.
class NoDesktop : public Workspace, public Accessibility, public IdleSource, public Clock, public QuestionDialog
{
public:
    FrontApplication activeApplication() const override { return {}; }
    std::unique_ptr<Subscription> subscribeToApplicationSwitches(std::function<void()>) override
    {
        return std::make_unique<Subscription>();
    }
    bool isAccessEnabled() const override { return true; }
    AppElement elementForProcess(qint64 pid) const override { return {pid}; }
    std::unique_ptr<WindowObserver> createObserver(qint64, std::function<void()>) override { return nullptr; }
    std::optional<WindowElement> mainWindow(const AppElement &) const override { return std::nullopt; }
    std::optional<QString> applicationTitle(const AppElement &) const override { return std::nullopt; }
    std::optional<QString> windowTitle(WindowElement) const override { return std::nullopt; }
    void openAccessibilitySettings() override {}
    IdleReading read() override { return {}; }
    MonotonicTime monotonicNow() const override { return {}; }
    QDateTime wallNow() const override { return QDateTime::currentDateTime(); }
    QuestionAnswer ask(const Question &) override { return QuestionAnswer::Other; }
};

