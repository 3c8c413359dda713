#pragma once

#include <QString>

// The desktop clipboard, as plain text.
class ClipboardService
{
public:
    virtual ~ClipboardService() = default;
    // False when the clipboard did not take the text.
    virtual bool setText(const QString &text) = 0;
    virtual QString text() const = 0;
};
