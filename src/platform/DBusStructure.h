#pragma once

#include <QDBusArgument>

// A D-Bus structure of the fields in order.
template<typename... Fields>
QDBusArgument &writeDBusStructure(QDBusArgument &argument, const Fields &...fields)
{
    argument.beginStructure();
    (argument << ... << fields);
    argument.endStructure();
    return argument;
}

template<typename... Fields>
const QDBusArgument &readDBusStructure(const QDBusArgument &argument, Fields &...fields)
{
    argument.beginStructure();
    (argument >> ... >> fields);
    argument.endStructure();
    return argument;
}
