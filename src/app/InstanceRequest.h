#pragma once

#include "app/InstanceMessage.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a later `brimble` asks the running one. Showing the window and the
// popup are plain lines ("show", "toggle") that need no answer, as they
// always were; the commands for scripts travel as a message
// (InstanceMessage) and are answered with an InstanceReply.
struct InstanceRequest
{
    enum class Kind {
        show,    // the manager window
        toggle,  // the popup
        add,     // targets to a group
        list,    // the groups and items
        open,    // the first item the popup's search finds for query
        unknown, // a message of a later version
    };

    Kind kind = Kind::show;
    // add: absolute paths and web addresses, as the client resolved them.
    QStringList targets = {};
    // add, list: the group; empty for none (add then asks which).
    QString group = {};
    // add: the group is made when there is none of that title (the user
    // chose a new group), instead of being refused.
    bool createsGroup = false;
    // list: as JSON.
    bool json = false;
    // open: what to search for.
    QString query = {};

    static constexpr auto showLine = "show";
    static constexpr auto toggleLine = "toggle";

    // Whether the client waits for an InstanceReply.
    bool expectsReply() const { return kind != Kind::show && kind != Kind::toggle; }
    // What the client writes: a plain line for show and toggle, a message otherwise.
    QByteArray encoded() const;
    // The request a message holds: of kind unknown when it names no command
    // of this version; nothing when a field is not what its name needs
    // (text that is not UTF-8, a command without what it acts on).
    static std::optional<InstanceRequest> fromFields(const InstanceMessage::Fields &fields);

    bool operator==(const InstanceRequest &other) const = default;
};
