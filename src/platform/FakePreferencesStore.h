#pragma once

#include "platform/MemoryPreferencesStore.h"

// An in-memory preferences store for tests, which counts its writes.
class FakePreferencesStore final : public MemoryPreferencesStore
{
public:
    int writeCount() const { return int(changesMade()); }
};
