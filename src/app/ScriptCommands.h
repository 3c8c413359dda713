#pragma once

#include "app/InstanceReply.h"
#include "app/InstanceRequest.h"
#include "items/ItemServices.h"
#include "platform/DesktopServices.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The commands for scripts (brimble --add, --list, --open), carried out on
// the favourites: by the running Brimble for a later process, or by that
// process itself while none runs. Each answers with the status and lines
// the process ends with. Adding takes everything or nothing: one target
// that cannot be added refuses the whole command.
class ScriptCommands final
{
public:
    // The group the user chose for an add: a stored one, or a new one.
    struct GroupChoice
    {
        QString title;
        bool isNew = false;
    };
    using ChoiceHandler = std::function<void(const std::optional<GroupChoice> &)>;
    // Asks the user which group targets go to, and answers through the
    // handler, at once or later; nothing when the user declined.
    using GroupChooser =
        std::function<void(const QStringList &groupTitles, const QStringList &targets, ChoiceHandler handler)>;

    // chooser: none where no one can be asked (no display).
    ScriptCommands(const ItemServices &items, DesktopServices desktop, GroupChooser chooser = {});

    // Carries out request and answers through reply, at once or, when the
    // user is asked for a group, once they answered.
    void run(const InstanceRequest &request, const std::function<void(const InstanceReply &)> &reply);

    InstanceReply list(const QString &group, bool json) const;
    InstanceReply open(const QString &query) const;
    // Adds targets to the group, made first when createsGroup and there is
    // no group of that title.
    InstanceReply add(const QStringList &targets, const QString &group, bool createsGroup);

    // What an add is refused for, in the order of the targets, as the
    // lines it writes; none when every target can be added.
    static QStringList refusals(const QStringList &targets);
    // The kind of item a target makes: a web address a bookmark, anything
    // else a file item.
    static bool isWebAddress(const QString &target);
    // Whether text starts with an address's scheme ("ftp:", "mailto:").
    static bool hasScheme(const QString &text);
    // A bookmark's title: its address's host.
    static QString bookmarkTitle(const QString &address);

private:
    ItemServices m_items;
    DesktopServices m_desktop;
    GroupChooser m_chooser;
};
