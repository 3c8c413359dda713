#pragma once

#include "app/NewsletterSubscription.h"

#include <QPointer>
#include <QWidget>

class DimmingLayer;
class LoginItems;
class PreferencesStore;
class QCheckBox;
class QLineEdit;
#include <QMessageBox>
class QPushButton;

// The onboarding page the manager window shows until the first run is over:
// a welcome, start at login, the newsletter offer (only when this build has
// an endpoint), and Get started, which ends the first run for good.
// Known elsewhere as StartupVc.
class OnboardingPage final : public QWidget
{
    Q_OBJECT

public:
    OnboardingPage(PreferencesStore &preferences, LoginItems &loginItems, const QUrl &newsletterBase,
                   QWidget *parent = nullptr);
    ~OnboardingPage() override;

    bool startAtLoginChecked() const;
    bool offersNewsletter() const;
    NewsletterSubscription &subscription() { return m_subscription; }
    // The alert on the page while it is open.
    QMessageBox *alert() const { return m_alert; }
    QLineEdit *txtfield() const { return m_txtfield; }

    // Ends the first run (FirstRun::finish) with the start-at-login choice
    // and emits gotStarted().
    void btnGetStarted();
    void btnSubscribe();

Q_SIGNALS:
    // The first run is over: the window shows its pages, the popup opens.
    void gotStarted();

private:
    void showAnswer(NewsletterSubscription::Answer answer, const QString &address);
    void showAlert(const QString &message, const QString &informativeText);

    PreferencesStore &m_preferences;
    LoginItems &m_loginItems;
    NewsletterSubscription m_subscription;
    DimmingLayer *m_dimmingLayer = nullptr;
    QCheckBox *m_checkboxAddLogicitem = nullptr;
    QLineEdit *m_txtfield = nullptr;
    QPushButton *m_btnsubscribe = nullptr;
    QPointer<QMessageBox> m_alert;
};
