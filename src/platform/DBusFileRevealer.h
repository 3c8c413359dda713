#pragma once

#include "platform/FileRevealer.h"

#include <QObject>

class UrlOpener;

// Asks the file manager over D-Bus (org.freedesktop.FileManager1.ShowItems)
// without waiting for its answer; when there is no such service, or it
// answers with an error, the containing folder is opened instead; failed
// runs when that cannot be opened either.
class DBusFileRevealer final : public QObject, public FileRevealer
{
    Q_OBJECT

public:
    explicit DBusFileRevealer(UrlOpener &opener, QObject *parent = nullptr);

    using FileRevealer::reveal;
    void reveal(const QString &path, const Failed &failed) override;

private:
    void openContainingFolder(const QString &path, const Failed &failed);

    UrlOpener &m_opener;
};
