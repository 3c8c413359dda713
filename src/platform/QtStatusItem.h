#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

class QSystemTrayIcon;
class QTimer;

// The tray icon through Qt, which speaks StatusNotifierItem where a watcher
// is on the session bus and XEmbed elsewhere. Where no tray is there at
// show() (a session whose panel starts after Brimble), it looks again for a
// while and shows the icon once one appears.
class QtStatusItem final : public QObject, public StatusItem
{
    Q_OBJECT

public:
    explicit QtStatusItem(QObject *parent = nullptr);
    ~QtStatusItem() override;

    bool isAvailable() const override;
    QRect geometry() const override;
    void show(const QIcon &icon, const QString &toolTip, QMenu *menu) override;

private:
    void lookForTray();

    QSystemTrayIcon *m_icon = nullptr;
    QTimer *m_retry = nullptr;
    int m_triesLeft = 0;
};
