#pragma once

#include <QString>

#include <functional>

// Shows a file selected in the desktop's file manager.
class FileRevealer
{
public:
    // Called, perhaps later, when the file could not be shown at all.
    using Failed = std::function<void()>;

    virtual ~FileRevealer() = default;
    virtual void reveal(const QString &path, const Failed &failed) = 0;
    void reveal(const QString &path) { reveal(path, {}); }
};
