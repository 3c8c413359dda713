#include "platform/TrayIconTheme.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcTrayIconTheme, "brimble.platform.tray")

#ifndef BRIMBLE_ICON_THEME_DIR
#define BRIMBLE_ICON_THEME_DIR "../share/icons"
#endif

namespace {

QString symbolicIconFile(const QString &iconName)
{
    return QStringLiteral("hicolor/symbolic/apps/%1.svg").arg(iconName);
}

// Where the installation's icon themes are, relative to its program's folder.
QString installedThemePath(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/" BRIMBLE_ICON_THEME_DIR));
}

} // namespace

bool TrayIconTheme::desktopPrefersSymbolicIcons(const QString &currentDesktops)
{
    const QStringList desktops = currentDesktops.split(u':', Qt::SkipEmptyParts);
    return desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive)
           || desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive);
}

TrayIconTheme TrayIconTheme::forDesktop(const QString &symbolicIconName, const QString &currentDesktops,
                                        const QString &programFolder)
{
    if (symbolicIconName.isEmpty() || !desktopPrefersSymbolicIcons(currentDesktops))
        return {};
    // The installation's own folder first: an installation outside the
    // desktop's data folders (/opt, a build folder) is found only through it.
    if (!programFolder.isEmpty()) {
        const QString themePath = installedThemePath(programFolder);
        if (QFileInfo(themePath + u'/' + symbolicIconFile(symbolicIconName)).isFile())
            return {symbolicIconName, themePath};
    }
    const QString inDataFolders = QStringLiteral("icons/") + symbolicIconFile(symbolicIconName);
    if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation, inDataFolders).isEmpty())
        return {symbolicIconName, QString()};
    qCInfo(lcTrayIconTheme) << "No" << symbolicIconName << "icon installed: the tray shows the coloured one";
    return {};
}
