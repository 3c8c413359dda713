#pragma once

#include "platform/ApplicationRegistry.h"

#include <QPair>

// A fixed application list; remembers launches. For tests.
class FakeApplicationRegistry final : public ApplicationRegistry
{
public:
    QList<ApplicationInfo> applicationsFor(const QUrl &url) override
    {
        asked.append(url);
        return applications;
    }
    bool launch(const QString &applicationId, const QUrl &url) override
    {
        launched.append({applicationId, url});
        return true;
    }

    QList<ApplicationInfo> applications;
    QList<QUrl> asked;
    QList<QPair<QString, QUrl>> launched;
};
