#pragma once

#include "platform/ClipboardService.h"

// A clipboard of its own; for tests.
class FakeClipboardService final : public ClipboardService
{
public:
    bool setText(const QString &text) override
    {
        if (!succeeds)
            return false;
        m_text = text;
        return true;
    }
    QString text() const override { return m_text; }

    bool succeeds = true;

private:
    QString m_text;
};
