#pragma once

#include "platform/ClipboardService.h"

// The clipboard of the running Qt application (X11 or Wayland selection).
class QtClipboardService final : public ClipboardService
{
public:
    bool setText(const QString &text) override;
    QString text() const override;
};
