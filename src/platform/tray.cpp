#include "platform/tray.h"

#include <QSystemTrayIcon>
#include <QTimer>

namespace tl {

QtTray::QtTray(QObject *parent)
    : ITray(parent), m_icon(new QSystemTrayIcon(this)), m_watch(new QTimer(this)),
      m_available(QSystemTrayIcon::isSystemTrayAvailable())
{
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // On an XEmbed tray a quick second press arrives as DoubleClick: it
        // is another press of the left button all the same.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT leftPressed();
    });
    // Qt has no signal for a tray that comes or goes: look now and then.
    m_watch->setInterval(2000);
    connect(m_watch, &QTimer::timeout, this, [this] {
        const bool now = QSystemTrayIcon::isSystemTrayAvailable();
        if (now != m_available) {
            m_available = now;
            Q_EMIT availabilityChanged(now);
        }
    });
    m_watch->start();
}

bool QtTray::isAvailable() const { return m_available; }

void QtTray::add(const QIcon &icon, const QString &tip)
{
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void QtTray::setTip(const QString &tip) { m_icon->setToolTip(tip); }

void QtTray::remove() { m_icon->hide(); }

bool QtTray::isAdded() const { return m_icon->isVisible(); }

void QtTray::setMenu(QMenu *menu) { m_icon->setContextMenu(menu); }

} // namespace tl
