#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;
class QTimer;

// The tray icon through Qt's QSystemTrayIcon, used for the XEmbed tray of
// X11 panels that have no StatusNotifierItem host (i3bar, stalonetray,
// older panels). Qt embeds the icon in a tray that appears later by itself;
// this looks again for a while so that it can say when that happened.
class QtStatusItem final : public QObject, public StatusItem
{
    Q_OBJECT

public:
    explicit QtStatusItem(QObject *parent = nullptr);
    ~QtStatusItem() override;

    // Whether Qt finds a tray now. Qt decides once per process whether it
    // speaks StatusNotifierItem or XEmbed, at the first question: asked while
    // no StatusNotifierItem host is there, it stays with XEmbed.
    static bool trayAvailable();

    bool isAvailable() const override;
    QRect geometry() const override;
    void show(const QIcon &icon, const QString &toolTip, QMenu *menu) override;

private:
    void lookForTray();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    QTimer *m_retry = nullptr;
    int m_triesLeft = 0;
};
