#include "platform/PlistPreferencesStore.h"

#include "platform/PlistCodec.h"
#include "platform/PreferencesWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstdio>
#include <cstring>

Q_LOGGING_CATEGORY(lcPreferences, "brimble.platform.preferences")

PlistPreferencesStore::PlistPreferencesStore(const QString &filePath, std::chrono::milliseconds firstRetryDelay)
    : m_filePath(filePath)
{
    load(firstRetryDelay);
}

PlistPreferencesStore::~PlistPreferencesStore()
{
    flush();
    m_writer.reset(); // joins the writer before the rest goes
}

void PlistPreferencesStore::load(std::chrono::milliseconds firstRetryDelay)
{
    const QFileInfo info(m_filePath);
    QDir().mkpath(info.absolutePath());
    QFile::setPermissions(info.absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    if (info.exists() || info.isSymLink()) {
        QFile file(m_filePath);
        if (!file.open(QIODevice::ReadOnly)) {
            m_loadProblem = LoadProblem::unreadable;
            m_readError = file.errorString();
            qCWarning(lcPreferences) << "Cannot read the preferences" << m_filePath << m_readError
                                     << "; the file is left alone and changes will not be saved";
            return;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            m_loadProblem = LoadProblem::unreadable;
            m_readError = file.errorString();
            return;
        }
        const std::optional<QVariant> root = PlistCodec::parse(bytes);
        if (root && StoredValue::isDictionary(*root)) {
            m_values = root->toMap();
        } else if (!bytes.isEmpty()) {
            const QString aside = m_filePath + QStringLiteral(".corrupt-")
                + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
            if (::rename(QFile::encodeName(m_filePath).constData(), QFile::encodeName(aside).constData()) == 0) {
                m_loadProblem = LoadProblem::setAside;
                m_setAsideFilePath = aside;
                qCWarning(lcPreferences) << "Damaged preferences moved aside to" << aside;
            } else {
                m_loadProblem = LoadProblem::damagedKept;
                m_readError = QString::fromLocal8Bit(std::strerror(errno));
                qCWarning(lcPreferences) << "Damaged preferences" << m_filePath << "could not be moved aside:"
                                         << m_readError << "; changes will not be saved";
                return;
            }
        }
    }
    m_writer = std::make_unique<PreferencesWriter>(
        m_filePath,
        [this] { QMetaObject::invokeMethod(&m_threadContext, [this] { reportSaveFailure(); }, Qt::QueuedConnection); },
        firstRetryDelay);
}

void PlistPreferencesStore::reportSaveFailure()
{
    if (m_saveFailureReported || !m_saveFailureHandler)
        return;
    m_saveFailureReported = true;
    m_saveFailureHandler();
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

void PlistPreferencesStore::applyChanges(const QVariantMap &values, const QStringList &removedKeys)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.value().isValid())
            m_values.insert(it.key(), it.value());
        else
            m_values.remove(it.key());
    }
    for (const QString &key : removedKeys)
        m_values.remove(key);
    scheduleWrite();
}

QStringList PlistPreferencesStore::allKeys() const
{
    return m_values.keys();
}

bool PlistPreferencesStore::flush()
{
    if (!m_writer)
        return !m_changedWithoutWriter;
    return m_writer->flush();
}

void PlistPreferencesStore::scheduleWrite()
{
    if (m_writer)
        m_writer->schedule(m_values);
    else
        m_changedWithoutWriter = true;
}
