#include "platform/StatusItem.h"

#include "platform/DesktopStatusItem.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QGuiApplication>

std::unique_ptr<StatusItem> createStatusItem()
{
    // XEmbed is an X11 protocol; under Wayland only StatusNotifierItem trays exist.
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return std::make_unique<DesktopStatusItem>(QDBusConnection::sessionBus(), x11,
                                               qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
                                               QCoreApplication::applicationDirPath());
}
