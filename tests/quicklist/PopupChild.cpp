// The popup in a process of its own, for the tests that run it under a
// Wayland compositor and read it over AT-SPI. It shows two groups, "Apps"
// with two bookmarks and "Colours" with a colour. Reads commands from
// standard input, one a line, and writes what happens to standard output,
// one event a line:
//   style <grabbing|compositorPlaced>   at start, as the display allows
//   shown, hidden                       the popup opened or closed
//   opened <name>, closed <name>        another of its windows did
//   opened <address>                    the popup opened an address
//   focus <window's object name|none>   the window system moved the focus
//   key <Qt key code>                   a key pressed in one of its windows
//   state <shown|hidden> frameless=<0|1> popup=<0|1> open=<names|none>
//                                       answer to "state": the popup, and
//                                       its other windows shown
// Commands: show, toggle, window (shows another window of the application),
// settings-menu, picker, pick, state, down (presses the Down key).
//
// With the argument "other" it is instead the other client: a plain window
// that takes the focus when the compositor maps it.

#include "platform/FakeDesktopServices.h"
#include "platform/FakePreferencesStore.h"
#include "platform/PopupWindowStyle.h"
#include "quicklist/ColorTagPicker.h"
#include "quicklist/PopupWindow.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Hands each line of standard input to run; quits when it closes.
void readCommands(QObject *owner, const std::function<void(const QString &)> &run)
{
    auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    QObject::connect(input, &QSocketNotifier::activated, owner, [run, pending = QByteArray()]() mutable {
        char buffer[256];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0)
            return QCoreApplication::quit();
        pending.append(buffer, count);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            run(QString::fromUtf8(pending.left(end)).trimmed());
    });
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

QString nameOf(const QWindow *window)
{
    if (!window)
        return QStringLiteral("none");
    for (const QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                  : widget->objectName();
    }
    return window->objectName();
}

// Reports the popup's showing and hiding, and the keys its windows get.
class Reporter final : public QObject
{
public:
    explicit Reporter(QWidget *popup)
        : m_popup(popup)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *window = qobject_cast<QWidget *>(watched);
        const bool shown = event->type() == QEvent::Show;
        if (window && window->isWindow() && (shown || event->type() == QEvent::Hide)) {
            if (window == m_popup)
                say(shown ? QStringLiteral("shown") : QStringLiteral("hidden"));
            else
                say((shown ? QStringLiteral("opened ") : QStringLiteral("closed ")) + window->objectName());
        } else if (event->type() == QEvent::KeyPress && qobject_cast<QWindow *>(watched)) {
            say(QStringLiteral("key %1").arg(static_cast<QKeyEvent *>(event)->key()));
        }
        return false;
    }

private:
    QWidget *m_popup;
};

void reportFocus()
{
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp,
                     [](QWindow *focus) { say(QStringLiteral("focus ") + nameOf(focus)); });
}

int runOther()
{
    QWidget window;
    window.setObjectName(QStringLiteral("otherWindow"));
    window.setWindowTitle(QStringLiteral("other"));
    window.resize(300, 200);
    reportFocus();
    window.show();
    // Until the test ends it, by closing standard input or a signal.
    readCommands(&window, [](const QString &) {});
    return QApplication::exec();
}

int runPopup()
{
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
    PopupWindow popup({favorites, preferences, sortSettings, supportFiles, links, services, picker},
                      popupWindowStyleOfDisplay());
    // Another window of the application, as the manager window is.
    QWidget managerWindow;
    managerWindow.setObjectName(QStringLiteral("managerWindow"));
    managerWindow.resize(400, 300);
    Reporter reporter(&popup);
    reportFocus();
    say(popup.windowStyle() == PopupWindowStyle::compositorPlaced ? QStringLiteral("style compositorPlaced")
                                                                  : QStringLiteral("style grabbing"));

    const QHash<QString, std::function<void()>> commands{
        {QStringLiteral("show"), [&] { popup.showPopover(QRect()); }},
        {QStringLiteral("toggle"), [&] { popup.togglePopover(QRect()); }},
        {QStringLiteral("window"), [&] { managerWindow.show(); }},
        {QStringLiteral("settings-menu"),
         [&] { popup.findChild<QToolButton *>(QStringLiteral("btnsettings"))->click(); }},
        {QStringLiteral("picker"),
         [&] { picker.openBeside(QRect(popup.mapToGlobal(QPoint(40, 60)), QSize(1, 1)), false); }},
        {QStringLiteral("pick"), [&] { picker.pickSwatch(0); }},
        {QStringLiteral("down"),
         [&] {
             QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &popup;
             QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
             QApplication::sendEvent(target, &press);
             QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
             QApplication::sendEvent(target, &release);
         }},
        {QStringLiteral("state"),
         [&] {
             // What the compositor did with the requests sent so far
             // (a popup's grab, refused or not) is handled first.
             QGuiApplication::sync();
             QCoreApplication::processEvents();
             QStringList open;
             for (const QWidget *window : QApplication::topLevelWidgets()) {
                 if (window != &popup && window->isVisible())
                     open.append(window->objectName());
             }
             say(QStringLiteral("state %1 frameless=%2 popup=%3 open=%4")
                     .arg(popup.isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"))
                     .arg(popup.windowFlags().testFlag(Qt::FramelessWindowHint) ? 1 : 0)
                     .arg(popup.windowType() == Qt::Popup ? 1 : 0)
                     .arg(open.isEmpty() ? QStringLiteral("none") : open.join(u',')));
         }},
    };
    readCommands(&popup, [&](const QString &command) {
        if (const auto run = commands.value(command))
            run();
        else
            say("unknown " + command);
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // As in Brimble: closing the popup ends nothing.
    QApplication::setQuitOnLastWindowClosed(false);
    return app.arguments().value(1) == QLatin1String("other") ? runOther() : runPopup();
}
