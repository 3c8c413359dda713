#include "app/CommandDispatch.h"

#include "app/CommandLine.h"
#include "app/GroupChooserDialog.h"
#include "app/ScriptCommands.h"
#include "app/SingleInstance.h"
#include "items/FaviconFetcher.h"
#include "platform/DesktopServices.h"
#include "platform/DisplayConnection.h"
#include "platform/MemoryPreferencesStore.h"
#include "platform/Paths.h"
#include "platform/PlistCodec.h"
#include "platform/PlistPreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <memory>

namespace {

using Kind = InstanceRequest::Kind;

// Holds the changes of a command in memory until they are flushed at its
// end, so that the file is written once.
constexpr std::chrono::hours heldWrites(1);

void print(const InstanceReply &reply)
{
    for (const InstanceReply::Line &line : reply.lines) {
        if (line.isError)
            CommandLine::printErrorText(line.text);
        else
            printLine(line.text);
    }
}

int fail(const InstanceReply &reply)
{
    print(reply);
    return reply.status;
}

// The store as the file holds it, unchanged; nothing when the file exists
// but cannot be read or is damaged: a command never writes over it.
std::optional<QVariantMap> storedValues(const PlistPreferencesStore::FileContents &contents)
{
    if (!contents.exists || (contents.refusal == RegularFile::Refusal::none && contents.empty))
        return QVariantMap();
    if (contents.refusal != RegularFile::Refusal::none || !contents.root || !StoredValue::isDictionary(*contents.root))
        return std::nullopt;
    return PlistCodec::resolved(contents.root->toMap());
}

// The process's application object, made when the work is done here: a
// widget application for the group chooser, a graphical one to open an item
// (the desktop's services and the clipboard), else a plain one.
class Application final
{
public:
    Application(int &argc, char **argv)
        : m_argc(argc)
        , m_argv(argv)
    {
    }

    void make(Kind kind, bool forChooser)
    {
        if (m_app)
            return;
        if (forChooser)
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
        else if (kind == Kind::open)
            m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
        else
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
        QCoreApplication::setApplicationName(QStringLiteral("brimble"));
        QCoreApplication::setApplicationVersion(QStringLiteral(BRIMBLE_VERSION));
        if (forChooser) {
            QGuiApplication::setApplicationDisplayName(QStringLiteral("Brimble"));
            QGuiApplication::setDesktopFileName(QStringLiteral("org.brimble.Brimble"));
        }
    }

private:
    int &m_argc;
    char **m_argv;
    std::unique_ptr<QCoreApplication> m_app;
};

// Waits for the bookmark icons still being fetched; the fetcher gives each up after its time-out.
void waitForIcons(FaviconFetcher &fetcher)
{
    if (fetcher.pendingCount() == 0)
        return;
    QEventLoop loop;
    const auto quitWhenDone = [&] {
        if (fetcher.pendingCount() == 0)
            loop.quit();
    };
    QObject::connect(&fetcher, &FaviconFetcher::iconSaved, &loop, quitWhenDone, Qt::QueuedConnection);
    QObject::connect(&fetcher, &FaviconFetcher::iconFailed, &loop, quitWhenDone, Qt::QueuedConnection);
    QTimer::singleShot(FaviconFetcher::defaultTimeoutMs * 2, &loop, &QEventLoop::quit);
    loop.exec();
}

// Carries out command here, the lock held; store is the real store for an
// add, a copy in memory otherwise.
int runHere(const InstanceRequest &command, PreferencesStore &store, const QString &storePath, SingleInstance &instance)
{
    FavoritesStore favorites(store);
    // What a launch would change first, so that the command sees the
    // favourites as Brimble does; written only with an add's own changes.
    favorites.adoptBareTitleItemLists();
    SupportFiles supportFiles(Paths::supportFolder(), favorites);
    FileBookmarks fileBookmarks(store);
    SortSettings sortSettings;
    ViewLinks links;
    FaviconFetcher fetcher;
    SystemDesktopServices desktop;
    ScriptCommands commands({favorites, supportFiles, fileBookmarks, sortSettings, links, fetcher}, desktop.services());
    InstanceReply reply;
    if (command.kind == Kind::add) {
        favorites.upgradeItemRecords();
        reply = commands.add(command.targets, command.group, command.createsGroup);
    } else {
        commands.run(command, [&reply](const InstanceReply &answer) { reply = answer; });
    }
    if (command.kind == Kind::add && reply.status == 0 && !store.flush())
        reply = InstanceReply::failure(LocalizedText(Text::favouritesNotSavedNothingAdded).arg(storePath));
    instance.releaseLock();
    print(reply);
    waitForIcons(fetcher);
    return reply.status;
}

} // namespace

namespace CommandDispatch {

int run(InstanceRequest command, const QString &preferencesPath, const QString &runtimeFolder, int &argc, char **argv)
{
    Application application(argc, argv);
    bool waited = false;
    for (;;) {
        SingleInstance instance(preferencesPath, runtimeFolder);
        if (!instance.takeLock(waited ? lockWaitMs : 0)) {
            if (!instance.lockFileProblem().isEmpty()) {
                CommandLine::printError(instance.lockLeftBehind() ? Text::staleLockNotRemoved
                                                                  : Text::lockFileNotCreated,
                                        instance.lockPath(), instance.lockFileProblem());
                return 1;
            }
            const bool choosesGroup = command.kind == Kind::add && command.group.isEmpty();
            const SingleInstance::Answer answer = instance.askPrimary(command, choosesGroup);
            switch (answer.outcome) {
            case SingleInstance::Answer::Outcome::replied:
                print(answer.reply);
                return answer.reply.status;
            case SingleInstance::Answer::Outcome::noReply:
                CommandLine::printError(Text::runningInstanceSilent);
                return 1;
            case SingleInstance::Answer::Outcome::unreachable:
                break;
            }
            // Another command may hold the lock for a moment, or a Brimble
            // may be on its way out.
            if (std::exchange(waited, true)) {
                CommandLine::printError(Text::otherInstanceSilent);
                return 1;
            }
            continue;
        }

        // No Brimble runs: the work is done here.
        const PlistPreferencesStore::FileContents contents = PlistPreferencesStore::readFile(preferencesPath);
        const std::optional<QVariantMap> values = storedValues(contents);
        if (!values) {
            CommandLine::printError(Text::favouritesUnreadableNothingChanged, preferencesPath);
            return 1;
        }
        MemoryPreferencesStore copy(*values);
        Localization::useLanguageOf(copy);

        const bool choosesGroup = command.kind == Kind::add && command.group.isEmpty();
        if (command.kind == Kind::add) {
            // Refused before the user is asked, and before the store is taken.
            QStringList refused = ScriptCommands::refusals(command.targets);
            FavoritesStore favorites(copy);
            favorites.adoptBareTitleItemLists();
            if (refused.isEmpty() && !choosesGroup && !command.createsGroup && !favorites.hasGroupTitled(command.group))
                refused.append(LocalizedText(Text::noSuchGroup).arg(command.group));
            if (refused.isEmpty() && choosesGroup && !DisplayConnection::isAvailable())
                refused.append(LocalizedText(Text::chooseGroupNeedsDesktop));
            if (!refused.isEmpty()) {
                InstanceReply reply;
                reply.status = 1;
                for (const QString &line : std::as_const(refused))
                    reply.printError(line);
                reply.printError(LocalizedText(Text::nothingAdded));
                return fail(reply);
            }
            if (choosesGroup) {
                // Other processes need not wait for the user.
                instance.releaseLock();
                application.make(command.kind, true);
                GroupChooserDialog chooser(favorites.groupTitles(), command.targets);
                chooser.exec();
                const auto choice = chooser.choice();
                if (!choice)
                    return fail(InstanceReply::failure(LocalizedText(Text::nothingAdded)));
                command.group = choice->title;
                command.createsGroup = choice->isNew;
                // A Brimble started meanwhile gets the command.
                waited = false;
                continue;
            }
        }
        if (command.kind == Kind::open && !DisplayConnection::isAvailable()) {
            CommandLine::printError(Text::noDesktopSession);
            return 1;
        }
        application.make(command.kind, false);
        if (command.kind != Kind::add)
            return runHere(command, copy, preferencesPath, instance);
        PlistPreferencesStore store(preferencesPath, std::chrono::seconds(1), contents);
        store.holdWritesFor(heldWrites);
        return runHere(command, store, preferencesPath, instance);
    }
}

} // namespace CommandDispatch
