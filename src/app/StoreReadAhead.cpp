#include "app/StoreReadAhead.h"

#include "platform/RegularFile.h"
#include "platform/StoreFileState.h"

StoreReadAhead::StoreReadAhead(const QString &filePath)
{
    m_contents = std::async(std::launch::async, [filePath, created = m_applicationCreated.get_future()] {
        const RegularFile::Contents read = RegularFile::read(filePath, largestStoreFile);
        created.wait();
        return PlistPreferencesStore::contentsOf(read);
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

PlistPreferencesStore::FileContents StoreReadAhead::take()
{
    applicationCreated();
    return m_contents.get();
}
