#include "platform/QtStatusItem.h"

#include <QLoggingCategory>
#include <QSystemTrayIcon>
#include <QTimer>

Q_LOGGING_CATEGORY(lcQtStatusItem, "brimble.platform.tray")

namespace {

// A panel started by the same login as Brimble is normally up within these
// two minutes.
constexpr int retryIntervalMs = 3000;
constexpr int retries = 40;

} // namespace

QtStatusItem::QtStatusItem(QObject *parent)
    : QObject(parent)
{
}

QtStatusItem::~QtStatusItem() = default;

bool QtStatusItem::trayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtStatusItem::isAvailable() const
{
    return trayAvailable();
}

QRect QtStatusItem::geometry() const
{
    return m_icon ? m_icon->geometry() : QRect();
}

void QtStatusItem::show(const QIcon &icon, const QString &toolTip, QMenu *menu)
{
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(toolTip);
    m_icon->setContextMenu(menu);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            triggered();
    });
    m_icon->show();
    if (isAvailable())
        return;

    qCInfo(lcQtStatusItem) << "No system tray yet; looking again every" << retryIntervalMs / 1000 << "s";
    if (!m_retry) {
        m_retry = new QTimer(this);
        m_retry->setInterval(retryIntervalMs);
        connect(m_retry, &QTimer::timeout, this, &QtStatusItem::lookForTray);
    }
    m_triesLeft = retries;
    m_retry->start();
}

void QtStatusItem::lookForTray()
{
    if (!isAvailable()) {
        if (--m_triesLeft <= 0)
            m_retry->stop();
        return;
    }
    m_retry->stop();
    // The icon made while there was none is shown again in the new tray.
    m_icon->hide();
    m_icon->show();
    qCInfo(lcQtStatusItem) << "A system tray appeared";
    appeared();
}
