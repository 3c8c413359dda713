#pragma once

#include "platform/DesktopServices.h"
#include "store/Item.h"

class SupportFiles;

// What opening an item does, wherever it is opened from (a row of the popup,
// the desktop's search, the command line): a file or note opens with its
// default application and a bookmark in the browser (what Item::link
// names), a colour copies its code.
class ItemOpener final
{
public:
    ItemOpener(const SupportFiles &supportFiles, DesktopServices desktop);

    enum class Result { nothing, opened, openFailed, copiedColor };
    Result open(const Item &item) const;
    // Puts "#" and a colour item's code on the clipboard; false for another
    // kind of item, a colour without a code, or a clipboard that refused.
    bool copyColorCode(const Item &item) const;

    // Whether the item is a file on this computer that a file manager can
    // show: a file, folder or application item, or a note.
    bool canReveal(const Item &item) const;
    // Shows the item's file in the file manager; false when it has none.
    bool reveal(const Item &item) const;

    // What the user is told when item did not open: no application for its
    // file, no browser for its address.
    static QString openFailureText(const Item &item);
    // ... and when no file manager could show path.
    static QString revealFailureText(const QString &path);

private:
    const SupportFiles &m_supportFiles;
    DesktopServices m_desktop;
};
