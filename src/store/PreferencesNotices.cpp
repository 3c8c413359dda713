#include "store/PreferencesNotices.h"

#include "platform/PlistPreferencesStore.h"
#include "store/LocalizedText.h"

#include <QDir>

namespace PreferencesNotices {

std::optional<PreferencesNotice> forLoad(const PlistPreferencesStore &store)
{
    const QString path = QDir::toNativeSeparators(store.filePath());
    const QString title = LocalizedText("IDS_BR_150");
    switch (store.loadProblem()) {
    case PlistPreferencesStore::LoadProblem::none:
        return std::nullopt;
    case PlistPreferencesStore::LoadProblem::setAside:
        return PreferencesNotice{title, LocalizedText("IDS_BR_151").arg(store.setAsideFilePath())};
    case PlistPreferencesStore::LoadProblem::damagedKept:
        return PreferencesNotice{title, LocalizedText("IDS_BR_162").arg(path, store.readError())};
    case PlistPreferencesStore::LoadProblem::unreadable:
        return PreferencesNotice{title, LocalizedText("IDS_BR_163").arg(path, store.readError())};
    }
    return std::nullopt;
}

PreferencesNotice forSaveFailure(const QString &filePath)
{
    return {LocalizedText("IDS_BR_160"), LocalizedText("IDS_BR_161").arg(QDir::toNativeSeparators(filePath))};
}

} // namespace PreferencesNotices
