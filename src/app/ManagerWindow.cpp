#include "app/ManagerWindow.h"

#include "app/AppContext.h"
#include "app/FirstRun.h"
#include "app/ManagerWindowPages.h"
#include "app/NoticeBar.h"
#include "app/OnboardingPage.h"
#include "app/TrayIconImage.h"
#include "hotkey/ShortcutKeyPress.h"
#include "hotkey/ShortcutRecorder.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerPage.h"
#include "prefs/AboutPage.h"
#include "prefs/PreferencesPage.h"
#include "store/LocalizedText.h"
#include "store/Settings.h"
#include "store/TextKeys.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

ManagerWindow::ManagerWindow(AppContext &context, ShortcutRecorder &recorder, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_recorder(recorder)
{
    setObjectName(QStringLiteral("mainwindowController"));
    setWindowTitle(LocalizedText(Text::appName));
    setWindowIcon(brimbleIcon());
    resize(900, 600);
    if (!m_state.geometry.isEmpty())
        restoreGeometry(m_state.geometry);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_noticeBar = new NoticeBar(this);
    layout->addWidget(m_noticeBar);
    m_content = new QStackedLayout;
    layout->addLayout(m_content, 1);

    const auto addShortcut = [this](const QKeySequence &keys, auto slot) {
        auto *action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        m_menuKeyEquivalents.append(action);
    };
    addShortcut(QKeySequence::Close, &QWidget::close);
    addShortcut(QKeySequence::Quit, &ManagerWindow::quitRequested);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), &QWidget::showMinimized);

    if (Settings(*context.preferences).isFirstRunFinished()) {
        m_content->addWidget(pages());
    } else {
        m_onboardingPage = std::make_unique<OnboardingPage>(*context.preferences, *context.loginItems,
                                                            NewsletterSubscription::configuredBase(), this);
        connect(m_onboardingPage.get(), &OnboardingPage::gotStarted, this, [this] {
            Showmainview();
            Q_EMIT popoverRequested();
        });
        m_content->addWidget(m_onboardingPage.get());
    }
    // The keys of every widget go to the recorder first, but only while it
    // records: an application-wide filter costs every event of the process.
    m_recorder.setRecordingChangedHandler([this](bool recording) { watchKeysForRecorder(recording); });
    watchKeysForRecorder(m_recorder.isRecordingShortcut());
}

ManagerWindow::~ManagerWindow()
{
    saveWindowState();
    m_recorder.setRecordingChangedHandler({});
    watchKeysForRecorder(false);
}

void ManagerWindow::showNotice(const QString &text)
{
    m_noticeBar->showMessage(text);
}

QString ManagerWindow::notice() const
{
    return m_noticeBar->message();
}

void ManagerWindow::showAndActivate()
{
    // The pages open on the groups page unless a page was asked for.
    if (m_pages && !isShowingOnboarding() && m_pages->containerPage() < 0)
        m_pages->showPage(ManagerWindowPages::managerPage);
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

ManagerWindowPages *ManagerWindow::pages()
{
    if (!m_pages) {
        m_pages = std::make_unique<ManagerWindowPages>(
            ManagerWindowPages::Services{m_context.favorites, m_context.sortSettings, m_context.viewLinks},
            [this](int page, DimmingLayer &blackLayer) { return createPage(page, blackLayer); }, this);
    }
    return m_pages.get();
}

QWidget *ManagerWindow::createPage(int page, DimmingLayer &blackLayer)
{
    switch (page) {
    case ManagerWindowPages::managerPage: {
        QWidget *widget = m_managerPageFactory ? m_managerPageFactory(blackLayer) : new QWidget;
        if ((m_managerPage = qobject_cast<ManagerPage *>(widget))) {
            if (!m_state.paneSplit.isEmpty())
                m_managerPage->restorePaneSplit(m_state.paneSplit);
            if (!m_state.selectedGroup.isEmpty())
                m_managerPage->selectGroupTitled(m_state.selectedGroup);
        }
        return widget;
    }
    case ManagerWindowPages::preferencesPage: {
        const bool grabs = m_context.hotKeys && m_context.hotKeys->isAvailable();
        auto *preferences = new PreferencesPage(
            {*m_context.preferences, *m_context.loginItems, m_recorder, blackLayer, grabs});
        preferences->setMenuKeyEquivalentsHandler([this](bool enabled) {
            for (QAction *action : std::as_const(m_menuKeyEquivalents))
                action->setEnabled(enabled);
        });
        connect(preferences, &PreferencesPage::relaunchRequested, this, &ManagerWindow::relaunchRequested);
        return preferences;
    }
    case ManagerWindowPages::aboutPage:
        return new AboutPage(m_context.desktop.urls, QStringLiteral(BRIMBLE_VERSION), &m_context.desktop.applications);
    default:
        return nullptr;
    }
}

OnboardingPage *ManagerWindow::onboardingPage() const
{
    return m_onboardingPage.get();
}

bool ManagerWindow::isShowingOnboarding() const
{
    return m_onboardingPage && m_content->currentWidget() == m_onboardingPage.get();
}

int ManagerWindow::containerPage() const
{
    return isShowingOnboarding() || !m_pages ? -1 : m_pages->containerPage();
}

void ManagerWindow::Showmainview()
{
    ManagerWindowPages *container = pages();
    if (m_content->indexOf(container) < 0)
        m_content->addWidget(container);
    if (container->containerPage() < 0)
        container->showPage(ManagerWindowPages::managerPage);
    m_content->setCurrentWidget(container);
    if (m_onboardingPage) {
        m_onboardingPage->hide();
        // Its own signal may have brought us here.
        m_onboardingPage.release()->deleteLater();
    }
    showAndActivate();
}

void ManagerWindow::openPage(int page)
{
    if (!isShowingOnboarding()) {
        pages()->showPage(page);
        m_content->setCurrentWidget(m_pages.get());
    }
    showAndActivate();
}

void ManagerWindow::closeEvent(QCloseEvent *event)
{
    if (m_pages && m_pages->isFirstGroupBoxShowing() && !isShowingOnboarding()) {
        event->ignore();
        return;
    }
    if (isShowingOnboarding() || !Settings(*m_context.preferences).isFirstRunFinished()) {
        // Closing the onboarding page finishes the first run.
        FirstRun::finish(*m_context.preferences, *m_context.loginItems,
                         m_onboardingPage ? std::optional(m_onboardingPage->startAtLoginChecked()) : std::nullopt);
        event->ignore();
        Showmainview();
        return;
    }
    saveWindowState();
    if (m_minimizesOnClose) {
        event->ignore();
        showMinimized();
        return;
    }
    event->accept();
}

void ManagerWindow::saveWindowState()
{
    // A window never shown has nothing of the user's to keep.
    if (!testAttribute(Qt::WA_WState_Created))
        return;
    m_state.geometry = saveGeometry();
    if (m_managerPage) {
        m_state.paneSplit = m_managerPage->paneSplit();
        m_state.selectedGroup = m_managerPage->groups().selectedGroupTitle();
    }
    m_state.write(m_stateFile);
}

void ManagerWindow::watchKeysForRecorder(bool watch)
{
    if (watch == m_watchesKeysForRecorder)
        return;
    m_watchesKeysForRecorder = watch;
    if (watch)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool ManagerWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (routeToRecorder(watched, event))
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool ManagerWindow::routeToRecorder(QObject *watched, QEvent *event)
{
    if (!m_recorder.isRecordingShortcut() || !watched->isWidgetType()
        || static_cast<QWidget *>(watched)->window() != this)
        return false;
    const int page = containerPage();
    if (page != ShortcutRecorder::preferencesPage)
        return false;
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    // While recording, no shortcut of the window may take the keys.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    const int key = keyEvent->key();
    const bool pressed = event->type() == QEvent::KeyPress;
    if (ShortcutKeyPress::isModifierKey(key)) {
        if (keyEvent->isAutoRepeat())
            return true;
        return m_recorder.modifiersChanged(ShortcutKeyPress::modifiersAfter(key, pressed, keyEvent->modifiers()), page);
    }
    if (!pressed)
        return true;
    return m_recorder.keyPressed(ShortcutKeyPress::fromQt(key, keyEvent->modifiers()), page);
}
