#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A private temporary folder for one test, removed with the fixture.
class TestFolder
{
public:
    TestFolder() = default;
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
