// The popup in a process of its own, for the test that reads it as a screen
// reader does, over AT-SPI. Shows the popup with two groups, writes "shown"
// once it is on screen, and reads commands from standard input, one a line:
//   down    presses the Down key in the popup
// and writes "opened <address>" for each address the popup opens.
// It ends when its standard input closes.

#include "platform/FakeDesktopServices.h"
#include "platform/FakePreferencesStore.h"
#include "quicklist/ColorTagPicker.h"
#include "quicklist/PopupWindow.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

Item withUid(Item item, qint64 uid)
{
    item.setUid(uid);
    return item;
}

// Says what the popup opens instead of opening it.
class ReportingUrlOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        say("opened " + url.toString());
        return true;
    }
};

void pressKey(QWidget *popup, Qt::Key key)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : popup;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    QTemporaryDir support;
    FakePreferencesStore preferences;
    FavoritesStore favorites(preferences);
    favorites.setGroups({Group(QStringLiteral("Apps")), Group(QStringLiteral("Colours"))});
    favorites.setItems(
        QStringLiteral("Apps"),
        {withUid(Item::bookmark(QStringLiteral("Docs site"), QStringLiteral("https://docs.example.org"), {}), 1),
         withUid(Item::bookmark(QStringLiteral("News site"), QStringLiteral("https://news.example.org"), {}), 2)});
    favorites.setItems(QStringLiteral("Colours"),
                       {withUid(Item::color(QStringLiteral("Brand green"), QStringLiteral("47CE64")), 3)});
    SupportFiles supportFiles(support.path(), favorites);
    SortSettings sortSettings;
    ViewLinks links;
    FakeDesktopServices desktop;
    ReportingUrlOpener urls;
    const DesktopServices services{urls, desktop.clipboard, desktop.applications, desktop.revealer, desktop.previewer};
    ColorTagPicker picker;
    PopupWindow popup({favorites, preferences, sortSettings, supportFiles, links, services, picker});
    popup.showPopover(QRect());
    say(QStringLiteral("shown"));

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, count);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            if (pending.left(end).trimmed() == "down")
                pressKey(&popup, Qt::Key_Down);
        }
    });
    return QApplication::exec();
}
