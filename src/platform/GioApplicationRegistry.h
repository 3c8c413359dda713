#pragma once

#include "platform/ApplicationRegistry.h"

// The freedesktop MIME associations through GIO: desktop entries under
// $XDG_DATA_HOME and $XDG_DATA_DIRS, defaults from mimeapps.list.
class GioApplicationRegistry final : public ApplicationRegistry
{
public:
    QList<ApplicationInfo> applicationsFor(const QUrl &url) override;
    bool launch(const QString &applicationId, const QUrl &url) override;

    // The content type GIO gives a local file ("inode/directory" for a
    // folder), or "x-scheme-handler/<scheme>" for another address.
    static QString contentTypeFor(const QUrl &url);
};
