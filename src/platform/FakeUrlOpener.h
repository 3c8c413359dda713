#pragma once

#include "platform/UrlOpener.h"

#include <QList>

// Remembers what would have been opened; for tests.
class FakeUrlOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return succeeds;
    }

    QList<QUrl> opened;
    bool succeeds = true;
};
