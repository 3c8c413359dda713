#pragma once

// How a window opened from the tray icon, with no window of the application
// under it, can behave as a popup on the display the application uses.
enum class PopupWindowStyle {
    // X11: a frameless popup window that grabs the pointer and the keyboard,
    // placed by the application under the tray icon; a click elsewhere
    // closes it.
    grabbing,
    // Wayland: only a popup opened from another window of the application
    // gets a grab, and no window places itself. An undecorated window that
    // the compositor places and that closes when it loses activation.
    compositorPlaced,
};

// The style the display the application is connected to allows. Asks the
// application object, which must exist.
PopupWindowStyle popupWindowStyleOfDisplay();
