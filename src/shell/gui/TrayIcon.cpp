#include "TrayIcon.h"

#include "MainWindow.h"
#include "shell/KestrumController.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(KestrumController &controller, MainWindow &window, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_window(window)
    , m_menu(new QMenu)
    , m_trayIcon(new QSystemTrayIcon(this))
{
    m_countingAction = m_menu->addAction(MainWindow::countingText(m_controller), &m_controller, &KestrumController::toggleCounting);
    m_showAction = m_menu->addAction(tr("Show Kestrum"), this, &TrayIcon::showWindow);
    m_menu->addSeparator();
    // Quitting goes through the window, which asks first while counting.
    m_quitAction = m_menu->addAction(tr("Quit"), &m_window, &QWidget::close);
    m_trayIcon->setContextMenu(m_menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            showWindow();
    });
    connect(&m_controller, &KestrumController::countingChanged, this, &TrayIcon::showCountingState);
    showCountingState();
}

TrayIcon::~TrayIcon()
{
    delete m_menu; // a context menu is not owned by its tray icon
}

QIcon TrayIcon::applicationIcon()
{
    return QIcon(QStringLiteral(":/icons/kestrum.svg"));
}

QIcon TrayIcon::pausedIcon()
{
    const QIcon icon = applicationIcon();
    QIcon paused;
    for (int size : {16, 22, 24, 32, 48, 64})
        paused.addPixmap(icon.pixmap(size, size, QIcon::Disabled));
    return paused;
}

void TrayIcon::show()
{
    m_trayIcon->show();
}

void TrayIcon::showCountingState()
{
    const bool counting = m_controller.isTicking();
    m_countingAction->setText(MainWindow::countingText(m_controller));
    m_trayIcon->setIcon(counting ? m_countingIcon : m_pausedIcon);
    m_trayIcon->setToolTip(counting ? tr("Kestrum is counting") : tr("Kestrum is paused"));
}

void TrayIcon::showWindow()
{
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}
