#pragma once

#include "platform/FilePreviewer.h"

#include <QStringList>

// Remembers the files it was asked to show; for tests. Without a previewer
// (the default) every request is declined, as on a desktop without one.
class FakeFilePreviewer final : public FilePreviewer
{
public:
    bool toggleFile(const QString &path, const std::function<void()> &refused) override
    {
        if (!available)
            return false;
        toggled.append(path);
        if (refuses && refused)
            refused();
        return true;
    }

    bool available = false;
    bool refuses = false;
    QStringList toggled;
};
