#include "platform/PopupWindowStyle.h"

#include <QGuiApplication>

PopupWindowStyle popupWindowStyleOfDisplay()
{
    // The platform plugin in use, not the session's variables: under
    // QT_QPA_PLATFORM=xcb in a Wayland session the windows go through
    // XWayland, where X11 popups work. The plugin may carry a suffix
    // ("wayland-egl").
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? PopupWindowStyle::compositorPlaced
                                                                                : PopupWindowStyle::grabbing;
}
