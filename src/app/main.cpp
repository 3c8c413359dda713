// Brimble: favourites in the system tray.

#include "app/AppContext.h"
#include "app/AppDelegate.h"
#include "app/CommandDispatch.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "app/StoreReadAhead.h"
#include "app/UnixSignals.h"
#include "platform/BoundedImageReader.h"
#include "platform/DisplayConnection.h"
#include "platform/Paths.h"
#include "platform/PlistPreferencesStore.h"
#include "platform/Relaunch.h"
#include "platform/XdgLoginItems.h"
#include "store/LocalizedText.h"
#include "store/PreferencesNotices.h"
#include "store/TextKeys.h"

#include <QApplication>
#include <QImageReader>

#include <malloc.h>

int main(int argc, char **argv)
{
    // Blocks of 128 KiB and more always get their own mapping, which goes
    // back to the system when freed. Left to itself, glibc raises that bound
    // to the largest block freed so far: after the first write of a large
    // store, its buffers would land in a thread's heap and stay resident.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);

    // The help, the version and a mistyped option need neither a display
    // (one that does not answer would abort the application object) nor
    // the store.
    const CommandLine::Request request = CommandLine::read(CommandLine::argumentsOf(argc, argv),
                                                           CommandLine::undecodableArgumentsOf(argc, argv));
    if (request.exitStatus)
        return *request.exitStatus;
    // A command for scripts needs a display only to choose a group or open
    // an item, and none at all when a Brimble runs.
    if (request.command)
        return CommandDispatch::run(*request.command, Paths::preferencesFile(), Paths::runtimeFolder(), argc, argv);
    if (!DisplayConnection::isAvailable()) {
        CommandLine::printError(Text::noDesktopSession);
        return 1;
    }

    // A running Brimble is asked before the display is connected or the
    // store read, so that a key bound to `brimble --toggle` answers at once
    // whatever the store's size.
    const QString preferencesPath = Paths::preferencesFile();
    SingleInstance instance(preferencesPath, Paths::runtimeFolder());
    // Started again after a language change: the old process may still be
    // on its way out, so wait for it rather than hand it the request.
    const int lockWaitMs = Relaunch::takeRelaunchMarker() ? Relaunch::lockWaitMs : 0;
    const auto reportLockProblem = [&instance] {
        CommandLine::printError(instance.lockLeftBehind() ? Text::staleLockNotRemoved : Text::lockFileNotCreated,
                                instance.lockPath(), instance.lockFileProblem());
    };
    if (!instance.becomePrimary(lockWaitMs)) {
        if (!instance.lockFileProblem().isEmpty()) {
            reportLockProblem();
            return 1;
        }
        // A start in the background asks nothing: reaching the running one is enough.
        const QByteArray asked = request.background ? QByteArray()
                                 : request.toggle   ? QByteArray(SingleInstance::toggleRequest)
                                                    : QByteArray(SingleInstance::showRequest);
        if (instance.sendToPrimary(asked))
            return 0;
        // A command for scripts may hold the lock for a moment while no Brimble runs.
        if (!instance.becomePrimary(CommandDispatch::lockWaitMs)) {
            if (!instance.lockFileProblem().isEmpty())
                reportLockProblem();
            else
                CommandLine::printError(Text::otherInstanceSilent);
            return 1;
        }
    }

    // Reading the favourites runs beside connecting to the display.
    StoreReadAhead readAhead(preferencesPath);
    QApplication app(argc, argv);
    readAhead.applicationCreated();
    QApplication::setApplicationName(QStringLiteral("brimble"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brimble"));
    QApplication::setApplicationVersion(QStringLiteral(BRIMBLE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.brimble.Brimble"));
    QApplication::setQuitOnLastWindowClosed(false);
    // No picture decoded anywhere in the process may take more than this,
    // whatever its file claims (Qt's own bound is twice as high).
    QImageReader::setAllocationLimit(BoundedImageReader::allocationLimitMb);

    SystemDesktopServices desktop;
    // The autostart entry says what it does in every language of the texts.
    auto loginItems = std::make_unique<XdgLoginItems>(
        XdgLoginItems::userAutostartFolder(), XdgLoginItems::locateHelper(QCoreApplication::applicationDirPath()),
        QDBusConnection::sessionBus(), [] { return textInEveryLanguage(Text::loginItemComment); });
    auto hotKeys = createHotKeyService();
    // The favourites are taken last, so that reading them has had the most time.
    auto preferences = std::make_unique<PlistPreferencesStore>(preferencesPath, std::chrono::seconds(1),
                                                               readAhead.take());
    PlistPreferencesStore &store = *preferences;
    // What launch changes (bare-title lists moved, records upgraded) is
    // written once the tray icon and the window are up: with 10,000 items the
    // write takes the processor the display needs. A crash before then loses
    // nothing, as the next launch makes the same changes from the same file.
    store.holdWritesFor(std::chrono::milliseconds(500));
    AppContext context(std::move(preferences), Paths::supportFolder(),
                       {std::move(loginItems), std::move(hotKeys), desktop.services()});

    AppDelegate delegate(context);
    QObject::connect(&instance, &SingleInstance::requestReceived, &delegate, &AppDelegate::handleInstanceRequest);
    instance.setCommandHandler([&delegate](const InstanceRequest &command, const SingleInstance::Replier &reply) {
        delegate.handleCommand(command, reply);
    });
    instance.acceptRequests();
    UnixSignals signals_;
    QObject::connect(&signals_, &UnixSignals::terminationRequested, &delegate, &AppDelegate::terminate);

    // `brimble --toggle` stands for a key binding: it starts with the popup.
    delegate.applicationDidFinishLaunching(request.toggle       ? AppDelegate::Opening::popover
                                           : request.background ? AppDelegate::Opening::nothing
                                                                : AppDelegate::Opening::managerWindow);
    if (const auto notice = PreferencesNotices::forLoad(store))
        delegate.reportPreferencesProblem(*notice);
    store.setSaveFailureHandler(
        [&] { delegate.reportPreferencesProblem(PreferencesNotices::forSaveFailure(store.filePath())); });
    delegate.followPreferencesFile(store);
    delegate.startDesktopSearch(QDBusConnection::sessionBus());
    const int status = app.exec();
    if (!delegate.applicationWillTerminate()) {
        CommandLine::printError(Text::favouritesNotSavedAtExit, store.filePath());
        return status == 0 ? 1 : status;
    }
    return status;
}
