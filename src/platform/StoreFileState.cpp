#include "platform/StoreFileState.h"

#include "platform/RegularFile.h"

bool StoreFileState::fileIsUnchanged()
{
    const FileVersion now = FileVersion::ofPath(target);
    if (now.sameIdentity(version) && !version.isRacy())
        return true;
    if (!now.exists || !version.exists)
        return false;
    if (!version.hashed)
        return now.sameIdentity(version);
    const RegularFile::Contents contents = RegularFile::read(target, largestStoreFile);
    if (!contents.ok() || contents.version.contentHash != version.contentHash)
        return false;
    version = contents.version;
    return true;
}
