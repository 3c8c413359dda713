#pragma once

#include "platform/PlistPreferencesStore.h"

#include <QString>

#include <future>

// Reads the preferences file on a thread of its own while the application
// object connects to the display, the slowest step of a launch. The bytes
// are read at once, with plain system calls (RegularFile); parsing them
// waits until the application object exists, because Qt takes the first
// thread that makes one of its objects for the main thread, and the warning
// about a damaged file would make one. (The one other line the thread may
// log, for a file it refuses, comes after SingleInstance, a QObject, has
// made the main thread Qt's main thread.)
class StoreReadAhead final
{
public:
    explicit StoreReadAhead(const QString &filePath);
    // Lets a thread still waiting finish first.
    ~StoreReadAhead();

    // The application object exists: parsing may begin.
    void applicationCreated();
    // The file as read and parsed, waiting for both. Once only.
    PlistPreferencesStore::FileContents take();

private:
    std::promise<void> m_applicationCreated;
    bool m_applicationCreatedSent = false;
    std::future<PlistPreferencesStore::FileContents> m_contents;
};
