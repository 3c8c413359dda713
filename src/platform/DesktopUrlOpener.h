#pragma once

#include "platform/UrlOpener.h"

// Opens addresses through QDesktopServices (xdg-open, the portal, or GIO).
class DesktopUrlOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override;
};
