#include "store/PreferencesNotices.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDir>

namespace {

constexpr auto notice = Text::favouritesUnreadableTitle; // Your favourites could not be read
constexpr auto setAside = Text::damagedFileSetAside;     // The file was damaged and has been kept as %1. …
constexpr auto damagedKept =
    Text::damagedFileKeptInPlace; // The file %1 is damaged, and it could not be moved aside (%2). …
constexpr auto unreadable = Text::favouritesFileUnreadable; // The file %1 exists but cannot be read (%2). …
constexpr auto notRegularFile = Text::notARegularFile;  // it is not a regular file, but a folder, a pipe or a device
constexpr auto tooLarge = Text::fileTooLarge;           // it is larger than %1 MB, the most Brimble reads
constexpr auto conflictCopy = Text::conflictCopyMerged; // Your sync tool left a conflict copy … moved it to %1.
constexpr auto replacedDamaged =
    Text::replacedByDamagedFile; // Another program replaced your favourites with a damaged file. …
constexpr auto replacedUnreadable =
    Text::replacedByUnreadableFile; // Another program replaced your favourites file %1 with something …

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
    return {LocalizedText(Text::changesUnsavedTitle),
            LocalizedText(Text::changesUnsavedDetail).arg(QDir::toNativeSeparators(filePath))};
}

std::optional<QString> forOutsideChange(const PlistPreferencesStore::OutsideChange &change)
{
    using Kind = PlistPreferencesStore::OutsideChange::Kind;
    const QString path = QDir::toNativeSeparators(change.path);
    switch (change.kind) {
    case Kind::merged:
        if (change.keptTwice == 0)
            return std::nullopt;
        return countText(change.keptTwice, Text::changedOnBothSidesOne, Text::changedOnBothSidesMany);
    case Kind::conflictCopyMerged: {
        QString text = LocalizedText(conflictCopy).arg(path);
        if (change.keptTwice > 0)
            text += QLatin1Char(' ')
                    + countText(change.keptTwice, Text::changedOnBothSidesOne, Text::changedOnBothSidesMany);
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
