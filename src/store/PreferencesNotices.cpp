#include "store/PreferencesNotices.h"

#include "store/LocalizedText.h"

#include <QDir>

namespace {

constexpr auto notice = "IDS_BR_150";           // Your favourites could not be read
constexpr auto setAside = "IDS_BR_151";         // The file was damaged and has been kept as %1. …
constexpr auto damagedKept = "IDS_BR_162";      // The file %1 is damaged, and it could not be moved aside (%2). …
constexpr auto unreadable = "IDS_BR_163";       // The file %1 exists but cannot be read (%2). …
constexpr auto notRegularFile = "IDS_BR_470";   // it is not a regular file, but a folder, a pipe or a device
constexpr auto tooLarge = "IDS_BR_471";         // it is larger than %1 MB, the most Brimble reads
constexpr auto keptTwice = "IDS_BR_472";        // Some favourites were changed both on this computer and … (%1 in all) …
constexpr auto conflictCopy = "IDS_BR_473";     // Your sync tool left a conflict copy … moved it to %1.
constexpr auto replacedDamaged = "IDS_BR_474";  // Another program replaced your favourites with a damaged file. …
constexpr auto replacedUnreadable = "IDS_BR_475"; // Another program replaced your favourites file %1 with something …

QString readProblem(const PlistPreferencesStore &store)
{
    switch (store.readRefusal()) {
    case RegularFile::Refusal::notRegularFile:
        return LocalizedText(notRegularFile);
    case RegularFile::Refusal::tooLarge:
        return LocalizedText(tooLarge).arg(largestStoreFile / (1024 * 1024));
    default:
        return store.readError();
    }
}

} // namespace

namespace PreferencesNotices {

std::optional<PreferencesNotice> forLoad(const PlistPreferencesStore &store)
{
    const QString path = QDir::toNativeSeparators(store.filePath());
    const QString title = LocalizedText(notice);
    switch (store.loadProblem()) {
    case PlistPreferencesStore::LoadProblem::none:
        return std::nullopt;
    case PlistPreferencesStore::LoadProblem::setAside:
        return PreferencesNotice{title, LocalizedText(setAside).arg(store.setAsideFilePath())};
    case PlistPreferencesStore::LoadProblem::damagedKept:
        return PreferencesNotice{title, LocalizedText(damagedKept).arg(path, store.readError())};
    case PlistPreferencesStore::LoadProblem::unreadable:
        return PreferencesNotice{title, LocalizedText(unreadable).arg(path, readProblem(store))};
    }
    return std::nullopt;
}

PreferencesNotice forSaveFailure(const QString &filePath)
{
    return {LocalizedText("IDS_BR_160"), LocalizedText("IDS_BR_161").arg(QDir::toNativeSeparators(filePath))};
}

std::optional<QString> forOutsideChange(const PlistPreferencesStore::OutsideChange &change)
{
    using Kind = PlistPreferencesStore::OutsideChange::Kind;
    const QString path = QDir::toNativeSeparators(change.path);
    switch (change.kind) {
    case Kind::merged:
        if (change.keptTwice == 0)
            return std::nullopt;
        return LocalizedText(keptTwice).arg(change.keptTwice);
    case Kind::conflictCopyMerged: {
        QString text = LocalizedText(conflictCopy).arg(path);
        if (change.keptTwice > 0)
            text += QLatin1Char(' ') + LocalizedText(keptTwice).arg(change.keptTwice);
        return text;
    }
    case Kind::damagedSetAside:
        return LocalizedText(replacedDamaged).arg(path);
    case Kind::unreadable:
        return LocalizedText(replacedUnreadable).arg(path);
    }
    return std::nullopt;
}

} // namespace PreferencesNotices
