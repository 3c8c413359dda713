// A weston module for tests: gives a compositor without input devices (the
// headless backend) one seat with a keyboard and a pointer, so that its
// shell activates the windows it maps and moves the keyboard focus between
// them as on a desktop. Lines written to the FIFO named by
// BRIMBLE_TEST_SEAT_FIFO type keys (Linux key codes) in the window that has
// the keyboard focus:
//   key <code>       presses and releases it;
//   press <code>     presses it and holds it, changing no modifier state:
//                    until the next event, the press's serial is the one a
//                    client's popup may grab with;
//   release <code>   lets it go, as press left it.
//
// Load it with `weston --modules=<path of this module>`.

#include <libweston/libweston.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

// libweston 10 exports these for its backends without declaring them in
// its public headers.
extern "C" {
struct xkb_keymap;
void weston_seat_init(struct weston_seat *seat, struct weston_compositor *compositor, const char *seatName);
void weston_seat_release(struct weston_seat *seat);
int weston_seat_init_keyboard(struct weston_seat *seat, struct xkb_keymap *keymap);
int weston_seat_init_pointer(struct weston_seat *seat);
void notify_key(struct weston_seat *seat, const struct timespec *time, uint32_t key, enum wl_keyboard_key_state state,
                enum weston_key_state_update updateState);
}

namespace {

struct TestSeat
{
    weston_seat seat{};
    int fifo = -1;
    wl_event_source *source = nullptr;
    std::string pending;
    wl_listener compositorDestroyed{};
};

void sendKey(weston_seat *seat, uint32_t key, wl_keyboard_key_state state, weston_key_state_update update)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    notify_key(seat, &now, key, state, update);
}

void runCommand(weston_seat *seat, const std::string &line)
{
    const std::string::size_type space = line.find(' ');
    if (space == std::string::npos)
        return;
    const std::string verb = line.substr(0, space);
    const auto key = uint32_t(std::strtoul(line.c_str() + space + 1, nullptr, 10));
    if (verb == "key") {
        sendKey(seat, key, WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_AUTOMATIC);
        sendKey(seat, key, WL_KEYBOARD_KEY_STATE_RELEASED, STATE_UPDATE_AUTOMATIC);
    } else if (verb == "press") {
        sendKey(seat, key, WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_NONE);
    } else if (verb == "release") {
        sendKey(seat, key, WL_KEYBOARD_KEY_STATE_RELEASED, STATE_UPDATE_NONE);
    }
}

int readCommands(int fd, uint32_t, void *data)
{
    auto *test = static_cast<TestSeat *>(data);
    char buffer[256];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) > 0)
        test->pending.append(buffer, size_t(count));
    std::string::size_type end;
    while ((end = test->pending.find('\n')) != std::string::npos) {
        runCommand(&test->seat, test->pending.substr(0, end));
        test->pending.erase(0, end + 1);
    }
    return 0;
}

void release(wl_listener *listener, void *)
{
    TestSeat *test = wl_container_of(listener, test, compositorDestroyed);
    wl_list_remove(&test->compositorDestroyed.link);
    if (test->source)
        wl_event_source_remove(test->source);
    if (test->fifo >= 0)
        close(test->fifo);
    weston_seat_release(&test->seat);
    const std::unique_ptr<TestSeat> ended(test);
}

} // namespace

extern "C" WL_EXPORT int wet_module_init(struct weston_compositor *compositor, int *, char *[])
{
    auto owned = std::make_unique<TestSeat>();
    TestSeat *test = owned.get();
    weston_seat_init(&test->seat, compositor, "test-seat");
    weston_seat_init_pointer(&test->seat);
    if (weston_seat_init_keyboard(&test->seat, nullptr) < 0) {
        weston_seat_release(&test->seat);
        return -1;
    }
    if (const char *path = getenv("BRIMBLE_TEST_SEAT_FIFO")) {
        // Opened for writing too, so that a writer closing it is no end of file.
        test->fifo = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (test->fifo >= 0)
            test->source = wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), test->fifo,
                                                WL_EVENT_READABLE, readCommands, test);
    }
    test->compositorDestroyed.notify = release;
    wl_signal_add(&compositor->destroy_signal, &test->compositorDestroyed);
    owned.release(); // the compositor's destroy signal ends it, in release()
    return 0;
}
