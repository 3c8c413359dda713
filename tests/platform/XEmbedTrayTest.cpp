// The tray icon on X11 (run under scripts/with-xvfb): an XEmbed tray of our
// own, a second X client owning the tray selection, beside a StatusNotifierItem
// watcher and host (fake_tray) on a private bus.

#include "platform/DesktopStatusItem.h"

#include "support/StandInProcess.h"

#include <QMenu>
#include <QPixmap>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    auto *reply = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

// A system tray as the freedesktop system tray protocol has it: it owns the
// screen's tray selection, announces itself on the root window and takes
// the icons that ask to dock.
class XEmbedTray
{
public:
    XEmbedTray()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const xcb_atom_t selection = atom(m_connection, "_NET_SYSTEM_TRAY_S0");
        m_opcode = atom(m_connection, "_NET_SYSTEM_TRAY_OPCODE");
        const xcb_window_t manager = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, manager, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_connection, manager, selection, XCB_CURRENT_TIME);

        xcb_client_message_event_t announce{};
        announce.response_type = XCB_CLIENT_MESSAGE;
        announce.format = 32;
        announce.window = root;
        announce.type = atom(m_connection, "MANAGER");
        announce.data.data32[0] = XCB_CURRENT_TIME;
        announce.data.data32[1] = selection;
        announce.data.data32[2] = manager;
        xcb_send_event(m_connection, 0, root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&announce));
        xcb_flush(m_connection);
    }
    ~XEmbedTray() { xcb_disconnect(m_connection); }

    // Notes the icons that asked to dock since the last look.
    void readEvents()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
            if ((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE && message->type == m_opcode
                && message->data.data32[1] == 0)
                docked.insert(message->data.data32[2]);
            std::free(event);
        }
    }
    // Whether an icon that docked still has its window.
    bool showsAnIcon()
    {
        readEvents();
        return std::any_of(docked.cbegin(), docked.cend(), [&](xcb_window_t icon) {
            auto *attributes = xcb_get_window_attributes_reply(m_connection,
                                                               xcb_get_window_attributes(m_connection, icon), nullptr);
            std::free(attributes);
            return attributes != nullptr;
        });
    }

    std::set<xcb_window_t> docked;

private:
    xcb_connection_t *m_connection;
    xcb_atom_t m_opcode = XCB_ATOM_NONE;
};

QIcon greenIcon()
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::green);
    return QIcon(pixmap);
}

TEST(XEmbedTray, StandsInWhileNoStatusNotifierHostShowsTheIcon)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    DesktopStatusItem item(bus.client(), true);
    int appearances = 0;
    item.setAppearedHandler([&] { ++appearances; });
    EXPECT_FALSE(item.isAvailable()) << "no tray of either kind yet";
    item.show(greenIcon(), QStringLiteral("Favourites"), &menu);

    // An XEmbed tray starts later: the icon docks there, and the
    // application hears of it.
    auto xembed = std::make_unique<XEmbedTray>();
    EXPECT_TRUE(processUntil([&] { return xembed->showsAnIcon(); }));
    EXPECT_TRUE(processUntil([&] { return appearances == 1; }));
    EXPECT_TRUE(item.isAvailable());

    // A StatusNotifierItem host arrives: the XEmbed icon goes, so that a
    // panel offering both never shows it twice.
    auto sni = std::make_unique<StandInProcess>(bus, QStringLiteral(BRIMBLE_FAKE_TRAY),
                                                u"org.kde.StatusNotifierWatcher"_qs, "/StatusNotifierWatcher");
    ASSERT_TRUE(sni->ready);
    EXPECT_FALSE(sni->waitForLine(QStringLiteral("item ")).isEmpty());
    EXPECT_TRUE(processUntil([&] { return !xembed->showsAnIcon(); }));
    EXPECT_FALSE(item.showsXEmbedIcon());

    // The host's panel crashes: the XEmbed icon stands in again.
    sni.reset();
    EXPECT_TRUE(processUntil([&] { return xembed->showsAnIcon(); }));
    EXPECT_EQ(appearances, 1);
}

} // namespace
