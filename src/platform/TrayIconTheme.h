#pragma once

#include <QString>

// How the tray icon is named to a StatusNotifierItem host. The panels of
// GNOME (through its AppIndicator extension) and KDE Plasma draw their
// icons in one colour that follows the panel's: there the item names the
// monochrome "-symbolic" icon of the icon theme, which the host recolours,
// and keeps its coloured pixmaps for a host that does not find it.
// Elsewhere (Xfce, LXQt, Cinnamon, waybar, the XEmbed tray) the coloured
// pixmaps alone show.
struct TrayIconTheme
{
    // The icon theme name for the host; empty for the pixmaps alone.
    QString iconName;
    // A folder of icon themes ("…/share/icons") that holds the icon, for the
    // host to search too; empty when the desktop's own folders hold it.
    QString themePath;

    // For the desktops XDG_CURRENT_DESKTOP names (a list such as
    // "ubuntu:GNOME"), and the program in programFolder, whose installation
    // (or build folder) holds its icons in ../share/icons.
    static TrayIconTheme forDesktop(const QString &symbolicIconName, const QString &currentDesktops,
                                    const QString &programFolder);
    static bool desktopPrefersSymbolicIcons(const QString &currentDesktops);
};
