#pragma once

#include "platform/FileRevealer.h"

#include <QStringList>

// Remembers what would have been shown; for tests. With fails set, every
// request fails, as on a desktop without a file manager.
class FakeFileRevealer final : public FileRevealer
{
public:
    using FileRevealer::reveal;
    void reveal(const QString &path, const Failed &failed) override
    {
        revealed.append(path);
        if (fails && failed)
            failed();
    }

    QStringList revealed;
    bool fails = false;
};
