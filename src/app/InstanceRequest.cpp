#include "app/InstanceRequest.h"

#include <QStringDecoder>

namespace {

// The names of the commands and of their fields on the socket.
constexpr QByteArrayView addName("add");
constexpr QByteArrayView listName("list");
constexpr QByteArrayView openName("open");
constexpr QByteArrayView targetField("target");
constexpr QByteArrayView groupField("group");
constexpr QByteArrayView createsGroupField("creates-group");
constexpr QByteArrayView jsonField("json");
constexpr QByteArrayView queryField("query");

std::optional<QString> textOf(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool isFlagValue(const QByteArray &value)
{
    return value == "1";
}

} // namespace

QByteArray InstanceRequest::encoded() const
{
    InstanceMessage::Fields fields;
    switch (kind) {
    case Kind::show:
        return QByteArray(showLine) + '\n';
    case Kind::toggle:
        return QByteArray(toggleLine) + '\n';
    case Kind::add:
        fields.append(addName.toByteArray());
        for (const QString &target : targets)
            fields << targetField.toByteArray() << target.toUtf8();
        break;
    case Kind::list:
        fields.append(listName.toByteArray());
        if (json)
            fields << jsonField.toByteArray() << "1";
        break;
    case Kind::open:
        fields << openName.toByteArray() << queryField.toByteArray() << query.toUtf8();
        break;
    case Kind::unknown:
        fields.append("unknown");
        break;
    }
    if (!group.isEmpty())
        fields << groupField.toByteArray() << group.toUtf8();
    if (createsGroup)
        fields << createsGroupField.toByteArray() << "1";
    return InstanceMessage::encoded(fields);
}

std::optional<InstanceRequest> InstanceRequest::fromFields(const InstanceMessage::Fields &fields)
{
    // A name, then pairs of a field's name and its value.
    if (fields.isEmpty())
        return std::nullopt;
    InstanceRequest request;
    const QByteArray &name = fields.constFirst();
    if (name == addName)
        request.kind = Kind::add;
    else if (name == listName)
        request.kind = Kind::list;
    else if (name == openName)
        request.kind = Kind::open;
    else
        return InstanceRequest{Kind::unknown};
    if (fields.size() % 2 != 1)
        return std::nullopt;
    bool hasQuery = false;
    for (qsizetype i = 1; i < fields.size(); i += 2) {
        const QByteArray &field = fields.at(i);
        const QByteArray &value = fields.at(i + 1);
        // Fields of a later version are passed over.
        const bool known = field == targetField || field == groupField || field == queryField
                           || field == createsGroupField || field == jsonField;
        if (!known)
            continue;
        if (field == createsGroupField || field == jsonField) {
            if (!isFlagValue(value))
                return std::nullopt;
            (field == jsonField ? request.json : request.createsGroup) = true;
            continue;
        }
        const std::optional<QString> text = textOf(value);
        if (!text)
            return std::nullopt;
        if (field == targetField)
            request.targets.append(*text);
        else if (field == groupField)
            request.group = *text;
        else {
            request.query = *text;
            hasQuery = true;
        }
    }
    const bool complete = request.kind == Kind::add    ? !request.targets.isEmpty()
                          : request.kind == Kind::open ? hasQuery
                                                       : true;
    if (!complete)
        return std::nullopt;
    // What a command does not take is not kept, so that a request read back is the one written.
    if (request.kind != Kind::add) {
        request.targets.clear();
        request.createsGroup = false;
    }
    if (request.kind != Kind::list)
        request.json = false;
    if (request.kind == Kind::open)
        request.group.clear();
    else
        request.query.clear();
    return request;
}
