#include "prefs/AboutPage.h"

#include "platform/ApplicationRegistry.h"
#include "platform/UrlOpener.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutPage::AboutPage(UrlOpener &urls, const QString &version, ApplicationRegistry *applications, QWidget *parent)
    : QWidget(parent)
    , m_urls(urls)
    , m_applications(applications)
{
    setObjectName(QStringLiteral("aboutvc"));
    m_icon = new QLabel(this);
    m_icon->setAlignment(Qt::AlignCenter);

    auto *lblappname = new QLabel(LocalizedText(Text::appName), this);
    QFont titleFont = lblappname->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    lblappname->setFont(titleFont);
    lblappname->setAlignment(Qt::AlignCenter);

    m_lblappVersion = new QLabel(version.isEmpty() ? QString() : LocalizedText(Text::versionNumber).arg(version), this);
    m_lblappVersion->setAlignment(Qt::AlignCenter);
    m_lblappVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *lblcopyright = new QLabel(LocalizedText(Text::copyright), this);
    lblcopyright->setAlignment(Qt::AlignCenter);
    lblcopyright->setEnabled(false);

    m_btnrateus = new QPushButton(LocalizedText(Text::rateApp), this);
    m_btnrateus->setObjectName(QStringLiteral("btnrateus"));
    connect(m_btnrateus, &QPushButton::clicked, this, &AboutPage::btnRateusClciked);

    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_icon);
    layout->addWidget(lblappname);
    layout->addWidget(m_lblappVersion);
    layout->addSpacing(12);
    layout->addWidget(m_btnrateus, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(lblcopyright);
}

QString AboutPage::versionText() const
{
    return m_lblappVersion->text();
}

void AboutPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The application's icon, as the window that shows the page carries it.
    if (m_icon->pixmap().isNull())
        m_icon->setPixmap(window()->windowIcon().pixmap(96, 96));
    // Asked when the page is first seen rather than built: the answer
    // loads the desktop's application registry, which launch can do without.
    if (m_applications) {
        if (m_applications->applicationsFor(QUrl(QString::fromLatin1(rateAddress))).isEmpty())
            m_btnrateus->hide();
        m_applications = nullptr;
    }
}

void AboutPage::btnRateusClciked()
{
    m_urls.openUrl(QUrl(QString::fromLatin1(rateAddress)));
}
