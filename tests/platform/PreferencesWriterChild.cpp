// Rewrites a large store again and again until it is killed; used to check
// that a write cut short never leaves a broken file.

#include "platform/PlistPreferencesStore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    PlistPreferencesStore store(QString::fromLocal8Bit(argv[1]));
    for (qint64 version = 1;; ++version) {
        QVariantList items;
        for (int i = 0; i < 5000; ++i)
            items.append(QVariantMap{{QStringLiteral("title"), QStringLiteral("Item %1").arg(i)},
                                     {QStringLiteral("version"), version}});
        // One value, so every snapshot holds a matching version and list.
        store.setObject(QVariantMap{{QStringLiteral("version"), version}, {QStringLiteral("items"), items}},
                        QStringLiteral("payload"));
        store.flush();
        if (version == 1) {
            std::puts("written");
            std::fflush(stdout);
        }
    }
}
