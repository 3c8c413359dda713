#include "app/OnboardingPage.h"

#include "app/FirstRun.h"
#include "app/TrayIconImage.h"
#include "platform/StandardOutput.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "widgets/DimmingLayer.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *heading(const QString &text, qreal scale, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

} // namespace

OnboardingPage::OnboardingPage(PreferencesStore &preferences, LoginItems &loginItems, const QUrl &newsletterBase,
                               QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_loginItems(loginItems)
    , m_subscription(newsletterBase)
{
    setObjectName(QStringLiteral("OnboardingPage"));

    auto *boxbg = new QFrame(this);
    boxbg->setMaximumWidth(Localization::isFrench() ? 720 : 620);

    auto *icon = new QLabel(boxbg);
    icon->setPixmap(brimbleIcon().pixmap(80, 80));
    icon->setAlignment(Qt::AlignCenter);
    auto *lbltitleappname = heading(LocalizedText(Text::appName), 2.0, boxbg);
    // What the application is and where it lives, before anything is asked.
    auto *lblwelcome = new QLabel(LocalizedText(Text::appSummary), boxbg);
    lblwelcome->setObjectName(QStringLiteral("lblwelcome"));
    lblwelcome->setWordWrap(true);
    lblwelcome->setAlignment(Qt::AlignCenter);

    auto *subscribeBox = new QFrame(boxbg);
    subscribeBox->setObjectName(QStringLiteral("subscribeBox"));
    subscribeBox->setFrameShape(QFrame::StyledPanel);
    auto *lblsubscribetitle = heading(LocalizedText(Text::newsletterTitle), 1.2, subscribeBox);
    auto *lblsubtitle = new QLabel(LocalizedText(Text::newsletterInvitation), subscribeBox);
    lblsubtitle->setWordWrap(true);
    lblsubtitle->setAlignment(Qt::AlignCenter);
    m_txtfield = new QLineEdit(subscribeBox);
    m_txtfield->setObjectName(QStringLiteral("txtfield"));
    m_txtfield->setPlaceholderText(LocalizedText(Text::emailPlaceholder));
    m_txtfield->setAccessibleName(LocalizedText(Text::emailAddress));
    m_btnsubscribe = new QPushButton(LocalizedText(Text::subscribe), subscribeBox);
    m_btnsubscribe->setObjectName(QStringLiteral("btnsubscribe"));
    connect(m_btnsubscribe, &QPushButton::clicked, this, &OnboardingPage::btnSubscribe);
    connect(m_txtfield, &QLineEdit::returnPressed, this, &OnboardingPage::btnSubscribe);
    auto *fieldRow = new QHBoxLayout;
    fieldRow->addWidget(m_txtfield, 1);
    fieldRow->addWidget(m_btnsubscribe);
    auto *subscribeLayout = new QVBoxLayout(subscribeBox);
    subscribeLayout->addWidget(lblsubscribetitle);
    subscribeLayout->addWidget(lblsubtitle);
    subscribeLayout->addLayout(fieldRow);
    // Without an endpoint in this build there is nothing to subscribe to.
    subscribeBox->setVisible(m_subscription.isAvailable());

    m_checkboxAddLogicitem = new QCheckBox(LocalizedText(Text::onboardingStartAtLogin), boxbg);
    m_checkboxAddLogicitem->setObjectName(QStringLiteral("checkboxAddLogicitem"));
    auto *btngetstarted = new QPushButton(LocalizedText(Text::getStarted), boxbg);
    btngetstarted->setObjectName(QStringLiteral("btngetstarted"));
    btngetstarted->setDefault(true);
    // Return starts at once: the page's one step forward has the keys.
    btngetstarted->setFocus();
    connect(btngetstarted, &QPushButton::clicked, this, &OnboardingPage::btnGetStarted);

    auto *boxLayout = new QVBoxLayout(boxbg);
    boxLayout->setSpacing(14);
    boxLayout->addWidget(icon);
    boxLayout->addWidget(lbltitleappname);
    boxLayout->addWidget(lblwelcome);
    boxLayout->addSpacing(8);
    boxLayout->addWidget(subscribeBox);
    boxLayout->addSpacing(8);
    boxLayout->addWidget(m_checkboxAddLogicitem, 0, Qt::AlignHCenter);
    boxLayout->addWidget(btngetstarted, 0, Qt::AlignHCenter);

    // Centred by stretches rather than by alignment: a layout gives an
    // aligned widget the height its wrapped texts need at the full width,
    // which is less than they need at the box's own width.
    boxbg->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(boxbg, 10);
    row->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);

    m_dimmingLayer = new DimmingLayer(this);
    connect(&m_subscription, &NewsletterSubscription::answered, this, &OnboardingPage::showAnswer);
}

OnboardingPage::~OnboardingPage() = default;

bool OnboardingPage::startAtLoginChecked() const
{
    return m_checkboxAddLogicitem->isChecked();
}

bool OnboardingPage::offersNewsletter() const
{
    return m_subscription.isAvailable();
}

void OnboardingPage::btnGetStarted()
{
    FirstRun::finish(m_preferences, m_loginItems, startAtLoginChecked());
    Q_EMIT gotStarted();
}

void OnboardingPage::btnSubscribe()
{
    const QString address = m_txtfield->text();
    if (address.isEmpty()) {
        showAlert(LocalizedText(Text::emailMissing), LocalizedText(Text::emailMissingHint));
        return;
    }
    if (!NewsletterSubscription::isValidAddress(address)) {
        showAlert(LocalizedText(Text::emailInvalid), LocalizedText(Text::emailMissingHint));
        return;
    }
    m_subscription.subscribe(address);
    printLine(QStringLiteral("done"));
}

void OnboardingPage::showAnswer(NewsletterSubscription::Answer answer, const QString &address)
{
    switch (answer) {
    case NewsletterSubscription::Answer::subscribed:
        showAlert(LocalizedText(Text::subscribedTitle), LocalizedText(Text::subscribedDetail));
        break;
    case NewsletterSubscription::Answer::alreadySubscribed:
        showAlert(LocalizedText(Text::alreadySubscribedTitle),
                  LocalizedText(Text::alreadySubscribedDetail).arg(address));
        break;
    case NewsletterSubscription::Answer::serverProblem:
        showAlert(LocalizedText(Text::subscriptionFailedTitle), LocalizedText(Text::subscriptionFailedDetail));
        break;
    case NewsletterSubscription::Answer::unknown:
        break;
    }
}

void OnboardingPage::showAlert(const QString &message, const QString &informativeText)
{
    // One alert at a time; a later answer replaces what is showing.
    if (m_alert)
        m_alert->done(0);
    auto *alert = new QMessageBox(QMessageBox::Warning, LocalizedText(Text::appName), message, QMessageBox::NoButton,
                                  window());
    alert->setInformativeText(informativeText);
    alert->addButton(LocalizedText(Text::ok), QMessageBox::AcceptRole);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    m_dimmingLayer->hold();
    connect(alert, &QMessageBox::finished, this, [this] {
        m_dimmingLayer->release();
        m_txtfield->clear();
    });
    m_alert = alert;
    alert->open();
}
