#pragma once
// The tray icon behind an interface: the program uses QSystemTrayIcon, tests
// a fake that records what was shown and lets them press the buttons.

#include <QIcon>
#include <QObject>
#include <QPoint>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace tl {

class ITray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // False where the desktop has no tray (bare X servers, GNOME without
    // the AppIndicator extension).
    virtual bool isAvailable() const = 0;
    virtual void add(const QIcon &icon, const QString &tip) = 0;
    virtual void setTip(const QString &tip) = 0;
    virtual void remove() = 0;
    virtual bool isAdded() const = 0;
    // The menu the tray shows on a right click.
    virtual void setMenu(QMenu *menu) = 0;

Q_SIGNALS:
    void leftPressed();
    // A tray that lets the program show the menu itself asks for it here.
    void menuRequested(const QPoint &globalPos);
    // A tray appeared (or went away) after start-up.
    void availabilityChanged(bool available);
};

class QtTray : public ITray {
    Q_OBJECT
public:
    explicit QtTray(QObject *parent = nullptr);
    bool isAvailable() const override;
    void add(const QIcon &icon, const QString &tip) override;
    void setTip(const QString &tip) override;
    void remove() override;
    bool isAdded() const override;
    void setMenu(QMenu *menu) override;

private:
    QSystemTrayIcon *m_icon;
    QTimer *m_watch;
    bool m_available;
};

} // namespace tl
