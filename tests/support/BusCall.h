#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>

// Calls method on the object at path of service as another process would,
// over connection, and runs this thread's events until the answer comes, so
// that a service on this thread answers it. An error message when none
// came within timeoutMs.
inline QDBusMessage callOverBus(const QDBusConnection &connection, const QString &service, const char *path,
                                const char *interface, const char *method, const QVariantList &arguments,
                                int timeoutMs = 10000)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, QString::fromLatin1(path),
                                                          QString::fromLatin1(interface), QString::fromLatin1(method));
    message.setArguments(arguments);
    QDBusPendingCall pending = connection.asyncCall(message, timeoutMs);
    const QDeadlineTimer deadline(timeoutMs + 1000);
    while (!pending.isFinished() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return pending.isFinished() ? pending.reply() : message.createErrorReply(QDBusError::Timeout, QString());
}
