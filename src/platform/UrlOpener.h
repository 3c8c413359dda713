#pragma once

#include <QUrl>

// Opens a file or a web address with the desktop's default application.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // False when the desktop could not open it.
    virtual bool openUrl(const QUrl &url) = 0;
};
