#include "quicklist/ItemOpener.h"

#include "platform/ClipboardService.h"
#include "platform/FileRevealer.h"
#include "platform/UrlOpener.h"
#include "store/LocalizedText.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"

ItemOpener::ItemOpener(const SupportFiles &supportFiles, DesktopServices desktop)
    : m_supportFiles(supportFiles)
    , m_desktop(desktop)
{
}

ItemOpener::Result ItemOpener::open(const Item &item) const
{
    if (item.kind() == ItemKind::color)
        return copyColorCode(item) ? Result::copiedColor : Result::nothing;
    // A note synced from another computer lives in this computer's data folder.
    const auto link = m_supportFiles.withLocalPaths(item).link();
    if (!link)
        return Result::nothing;
    return m_desktop.urls.openUrl(*link) ? Result::opened : Result::openFailed;
}

bool ItemOpener::copyColorCode(const Item &item) const
{
    const QString code = item.copiedColorCode();
    return !code.isEmpty() && m_desktop.clipboard.setText(code);
}

bool ItemOpener::canReveal(const Item &item) const
{
    const auto link = m_supportFiles.withLocalPaths(item).link();
    return link && link->isLocalFile();
}

bool ItemOpener::reveal(const Item &item) const
{
    const auto link = m_supportFiles.withLocalPaths(item).link();
    if (!link || !link->isLocalFile())
        return false;
    m_desktop.revealer.reveal(link->toLocalFile());
    return true;
}

QString ItemOpener::openFailureText(const Item &item)
{
    if (item.kind() == ItemKind::bookmark)
        return LocalizedText(Text::noBrowserOpens).arg(item.target());
    return LocalizedText(Text::noApplicationOpens).arg(item.title());
}

QString ItemOpener::revealFailureText(const QString &path)
{
    return LocalizedText(Text::noFileManagerShows).arg(path);
}
