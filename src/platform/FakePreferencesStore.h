#pragma once

#include "platform/PreferencesStore.h"

// An in-memory preferences store for tests.
class FakePreferencesStore final : public PreferencesStore
{
public:
    QVariant objectForKey(const QString &key) const override { return m_values.value(key); }
    void setObject(const QVariant &value, const QString &key) override
    {
        if (value.isValid())
            m_values.insert(key, value);
        else
            m_values.remove(key);
        ++m_writeCount;
    }
    void removeObjectForKey(const QString &key) override
    {
        m_values.remove(key);
        ++m_writeCount;
    }
    void applyChanges(const QVariantMap &values, const QStringList &removedKeys) override
    {
        applyChangesTo(m_values, values, removedKeys);
        ++m_writeCount;
    }
    QStringList allKeys() const override { return m_values.keys(); }
    bool flush() override { return true; }
    quint64 changesMade() const override { return quint64(m_writeCount); }

    int writeCount() const { return m_writeCount; }

private:
    QVariantMap m_values;
    int m_writeCount = 0;
};
