#pragma once

#include "store/WindowElement.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// An application as the window-reading side addresses it: by process id.
struct AppElement
{
    qint64 pid = 0;
    friend bool operator==(const AppElement &, const AppElement &) = default;
};

enum class WindowNotification { MainWindowChanged, FocusedWindowChanged };

// Watches one application's windows. Destroying it stops the notifications.
class WindowObserver
{
public:
    virtual ~WindowObserver() = default;
    // Registers a notification on the application's element; false when it cannot.
    virtual bool addNotification(const AppElement &element, WindowNotification notification) = 0;
    // Starts delivery of the registered notifications on the tracker's thread.
    virtual void attach() = 0;
};

// Reading other applications' windows: whether it is possible at all, the main window of an
// application and the titles. A read that finds nothing answers nullopt, never an error.
class Accessibility
{
public:
    virtual ~Accessibility() = default;

    virtual bool isAccessEnabled() const = 0;
    virtual AppElement elementForProcess(qint64 pid) const = 0;
    // Null when no observer can be made for the process.
    virtual std::unique_ptr<WindowObserver> createObserver(qint64 pid, std::function<void()> callback) = 0;

    virtual std::optional<WindowElement> mainWindow(const AppElement &application) const = 0;
    virtual std::optional<QString> applicationTitle(const AppElement &application) const = 0;
    virtual std::optional<QString> windowTitle(WindowElement window) const = 0;

    // Shows the desktop's settings where access can be turned on; does not wait.
    virtual void openAccessibilitySettings() = 0;
};
