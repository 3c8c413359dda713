#pragma once

#include "support/ProcessUntil.h"

#include <QProcess>
#include <QStringList>

// PopupChild.cpp run as a process of its own, as the popup or (with the
// argument "other") as another window. Keeps every line it wrote.
class PopupClient
{
public:
    static constexpr int generousMs = 30000;

    explicit PopupClient(const QProcessEnvironment &environment, const QStringList &arguments = {})
    {
        m_process.setProcessEnvironment(environment);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
        });
        m_process.start(QStringLiteral(BRIMBLE_POPUP_CHILD), arguments);
    }
    ~PopupClient()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }

    void send(const char *command) { m_process.write(QByteArray(command) + '\n'); }
    // Waits for a line that starts with prefix, written after the first `from` lines; gives it, or nothing.
    std::string waitFor(const QString &prefix, qsizetype from = 0)
    {
        QString found;
        processUntil(
            [&] {
                for (qsizetype at = from; at < lines.size() && found.isEmpty(); ++at)
                    found = lines.at(at).startsWith(prefix) ? lines.at(at) : QString();
                return !found.isEmpty();
            },
            generousMs);
        return found.toStdString();
    }
    // The popup's state once the compositor has handled what was sent so far.
    std::string state()
    {
        const qsizetype from = lines.size();
        send("state");
        return waitFor(QStringLiteral("state"), from);
    }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

    QStringList lines;

private:
    QProcess m_process;
};
