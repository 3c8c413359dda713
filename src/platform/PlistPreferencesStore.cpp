#include "platform/PlistPreferencesStore.h"

#include "platform/PlistCodec.h"
#include "platform/PreferencesWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPreferences, "brimble.platform.preferences")

PlistPreferencesStore::PlistPreferencesStore(const QString &filePath)
    : m_filePath(filePath)
{
    load();
}

PlistPreferencesStore::~PlistPreferencesStore()
{
    flush();
}

void PlistPreferencesStore::load()
{
    const QFileInfo info(m_filePath);
    QDir().mkpath(info.absolutePath());
    QFile::setPermissions(info.absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    bool usable = true;
    if (info.exists()) {
        QFile file(m_filePath);
        std::optional<QVariant> root;
        if (file.open(QIODevice::ReadOnly))
            root = PlistCodec::parse(file.readAll());
        if (root && StoredValue::isDictionary(*root)) {
            m_values = root->toMap();
        } else if (info.size() > 0) {
            const QString aside = m_filePath + QStringLiteral(".corrupt-")
                + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
            if (QFile::rename(m_filePath, aside)) {
                m_setAsideFilePath = aside;
                qCWarning(lcPreferences) << "Unreadable preferences moved aside to" << aside;
            } else {
                usable = false;
                qCWarning(lcPreferences) << "Unreadable preferences" << m_filePath
                                         << "could not be moved aside; changes will not be saved";
            }
        }
    }
    if (usable)
        m_writer = std::make_unique<PreferencesWriter>(m_filePath);
}

QVariant PlistPreferencesStore::objectForKey(const QString &key) const
{
    return m_values.value(key);
}

void PlistPreferencesStore::setObject(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        removeObjectForKey(key);
        return;
    }
    m_values.insert(key, value);
    scheduleWrite();
}

void PlistPreferencesStore::removeObjectForKey(const QString &key)
{
    if (m_values.remove(key) > 0)
        scheduleWrite();
}

QStringList PlistPreferencesStore::allKeys() const
{
    return m_values.keys();
}

void PlistPreferencesStore::flush()
{
    if (m_writer)
        m_writer->flush();
}

void PlistPreferencesStore::scheduleWrite()
{
    if (m_writer)
        m_writer->schedule(m_values);
}
