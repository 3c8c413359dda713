#include "platform/DesktopServices.h"

#include "platform/DBusFilePreviewer.h"
#include "platform/DBusFileRevealer.h"
#include "platform/DesktopUrlOpener.h"
#include "platform/GioApplicationRegistry.h"
#include "platform/QtClipboardService.h"

SystemDesktopServices::SystemDesktopServices()
    : m_urls(std::make_unique<DesktopUrlOpener>())
    , m_clipboard(std::make_unique<QtClipboardService>())
    , m_applications(std::make_unique<GioApplicationRegistry>())
    , m_revealer(std::make_unique<DBusFileRevealer>(*m_urls))
    , m_previewer(std::make_unique<DBusFilePreviewer>())
{
}

SystemDesktopServices::~SystemDesktopServices() = default;

DesktopServices SystemDesktopServices::services() const
{
    return {*m_urls, *m_clipboard, *m_applications, *m_revealer, *m_previewer};
}
