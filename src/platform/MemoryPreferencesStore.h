#pragma once

#include "platform/PreferencesStore.h"

// A preferences store that lives in memory only: a copy of a file's values
// that may be changed without any of it reaching the file (what a command
// reads), and the store of tests.
class MemoryPreferencesStore : public PreferencesStore
{
public:
    MemoryPreferencesStore() = default;
    explicit MemoryPreferencesStore(QVariantMap values)
        : m_values(std::move(values))
    {
    }

    QVariant objectForKey(const QString &key) const override { return m_values.value(key); }
    void setObject(const QVariant &value, const QString &key) override
    {
        if (value.isValid())
            m_values.insert(key, value);
        else
            m_values.remove(key);
        ++m_changes;
    }
    void removeObjectForKey(const QString &key) override
    {
        m_values.remove(key);
        ++m_changes;
    }
    void applyChanges(const QVariantMap &values, const QStringList &removedKeys) override
    {
        applyChangesTo(m_values, values, removedKeys);
        ++m_changes;
    }
    QStringList allKeys() const override { return m_values.keys(); }
    bool flush() override { return true; }
    quint64 changesMade() const override { return m_changes; }

private:
    QVariantMap m_values;
    quint64 m_changes = 0;
};
