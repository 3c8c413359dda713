#pragma once

#include <QString>

#include <functional>

// A quick preview of a file by the desktop's own previewer.
class FilePreviewer
{
public:
    virtual ~FilePreviewer() = default;

    // Asks the desktop's previewer to show path, or to close when it shows
    // that file already. False, and nothing asked, when the desktop has no
    // previewer; refused runs later when the previewer could not show it, so
    // that the caller can show the file its own way.
    virtual bool toggleFile(const QString &path, const std::function<void()> &refused) = 0;
};
