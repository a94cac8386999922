#pragma once

#include <QIcon>
#include <QObject>

class KestrumController;
class MainWindow;
class QAction;
class QMenu;
class QSystemTrayIcon;

// Kestrum in the desktop's tray: the icon shows whether Kestrum is counting, and its menu
// starts or pauses counting, brings the window to the front and quits. The menu's Start/Pause
// item says what the window's button says, because both follow the controller.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(KestrumController &controller, MainWindow &window, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Kestrum's own icon, and the muted one the tray shows while counting is paused.
    static QIcon applicationIcon();
    static QIcon pausedIcon();

    void show();
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QAction *countingAction() const { return m_countingAction; }
    QAction *showAction() const { return m_showAction; }
    QAction *quitAction() const { return m_quitAction; }

private:
    void showCountingState();
    void showWindow();

    KestrumController &m_controller;
    MainWindow &m_window;
    QMenu *m_menu = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    const QIcon m_countingIcon = applicationIcon();
    const QIcon m_pausedIcon = pausedIcon();
    QAction *m_countingAction = nullptr;
    QAction *m_showAction = nullptr;
    QAction *m_quitAction = nullptr;
};
