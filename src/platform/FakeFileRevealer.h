#pragma once

#include "platform/FileRevealer.h"

#include <QStringList>

// Remembers what would have been shown; for tests.
class FakeFileRevealer final : public FileRevealer
{
public:
    void reveal(const QString &path) override { revealed.append(path); }

    QStringList revealed;
};
