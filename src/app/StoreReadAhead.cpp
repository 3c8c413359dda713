#include "app/StoreReadAhead.h"

StoreReadAhead::StoreReadAhead(const QString &filePath)
{
    m_contents = std::async(std::launch::async, [filePath, created = m_applicationCreated.get_future()] {
        std::optional<PlistPreferencesStore::UnparsedFile> file = PlistPreferencesStore::readRegularFile(filePath);
        created.wait();
        return file ? std::optional(PlistPreferencesStore::parse(*file)) : std::nullopt;
    });
}

StoreReadAhead::~StoreReadAhead()
{
    applicationCreated();
}

void StoreReadAhead::applicationCreated()
{
    if (!m_applicationCreatedSent)
        m_applicationCreated.set_value();
    m_applicationCreatedSent = true;
}

std::optional<PlistPreferencesStore::FileContents> StoreReadAhead::take()
{
    applicationCreated();
    return m_contents.get();
}
