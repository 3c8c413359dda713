#include "platform/StoreFileState.h"

#include "platform/PreferencesFile.h"

bool StoreFileState::fileIsUnchanged()
{
    const FileVersion now = FileVersion::ofPath(target);
    if (now.sameIdentity(version) && !version.isRacy())
        return true;
    if (!now.exists || !version.exists)
        return false;
    if (!version.hashed)
        return now.sameIdentity(version);
    const PreferencesFile::Contents contents = PreferencesFile::read(target);
    if (contents.refusal != PreferencesFile::Refusal::none || contents.version.contentHash != version.contentHash)
        return false;
    version = contents.version;
    return true;
}
