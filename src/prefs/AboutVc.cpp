#include "prefs/AboutVc.h"

#include "platform/ApplicationRegistry.h"
#include "platform/UrlOpener.h"
#include "store/LocalizedText.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutVc::AboutVc(UrlOpener &urls, const QString &version, ApplicationRegistry *applications, QWidget *parent)
    : QWidget(parent)
    , m_urls(urls)
{
    setObjectName(QStringLiteral("aboutvc"));
    m_icon = new QLabel(this);
    m_icon->setAlignment(Qt::AlignCenter);

    auto *lblappname = new QLabel(LocalizedText("IDS_BR_7"), this);
    QFont titleFont = lblappname->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    lblappname->setFont(titleFont);
    lblappname->setAlignment(Qt::AlignCenter);

    m_lblappVersion = new QLabel(version.isEmpty() ? QString() : LocalizedText("IDS_BR_84").arg(version), this);
    m_lblappVersion->setAlignment(Qt::AlignCenter);
    m_lblappVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *lblcopyright = new QLabel(LocalizedText("IDS_BR_223"), this);
    lblcopyright->setAlignment(Qt::AlignCenter);
    lblcopyright->setEnabled(false);

    auto *btnrateus = new QPushButton(LocalizedText("IDS_BR_85"), this);
    btnrateus->setObjectName(QStringLiteral("btnrateus"));
    connect(btnrateus, &QPushButton::clicked, this, &AboutVc::btnRateusClciked);
    if (applications && applications->applicationsFor(QUrl(QString::fromLatin1(rateAddress))).isEmpty())
        btnrateus->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_icon);
    layout->addWidget(lblappname);
    layout->addWidget(m_lblappVersion);
    layout->addSpacing(12);
    layout->addWidget(btnrateus, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(lblcopyright);
}

QString AboutVc::versionText() const
{
    return m_lblappVersion->text();
}

void AboutVc::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The application's icon, as the window that shows the page carries it.
    if (m_icon->pixmap().isNull())
        m_icon->setPixmap(window()->windowIcon().pixmap(96, 96));
}

void AboutVc::btnRateusClciked()
{
    m_urls.openUrl(QUrl(QString::fromLatin1(rateAddress)));
}
