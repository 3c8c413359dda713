#pragma once

#include "app/WindowState.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

struct AppContext;
class DimmingLayer;
class ManagerPage;
class ManagerWindowPages;
class NoticeBar;
class OnboardingPage;
class QAction;
class QStackedLayout;
class ShortcutRecorder;

// The manager window: the onboarding page until the first run is over, then
// the container of pages. Closing it during the first run finishes the
// first run and shows the pages instead; while the first-group box asks for
// a name it cannot be closed. Where there is no system tray it is the only
// way back into Brimble, so closing minimises it instead.
//
// Its size and place, the split between the panes and the selected group
// are kept when it closes (and when Brimble quits) and come back with it.
//
// Key presses and modifier changes go to the shortcut recorder only while it
// records on the preferences page; everywhere else they behave as usual.
// Known elsewhere as mainwindowController.
class ManagerWindow final : public QWidget
{
    Q_OBJECT

public:
    // Builds the groups page; until it exists page 0 stays empty.
    using ManagerPageFactory = std::function<QWidget *(DimmingLayer &blackLayer)>;

    ManagerWindow(AppContext &context, ShortcutRecorder &recorder, QWidget *parent = nullptr);
    ~ManagerWindow() override;

    void setManagerPageFactory(ManagerPageFactory factory) { m_managerPageFactory = std::move(factory); }
    void setMinimizesOnClose(bool minimizes) { m_minimizesOnClose = minimizes; }
    bool minimizesOnClose() const { return m_minimizesOnClose; }
    void showAndActivate();
    // Shows text across the top of the window, without a dialog, until the
    // user dismisses it; it is there when the window next opens.
    void showNotice(const QString &text);
    // The message shown, or empty.
    QString notice() const;
    // Shows the window on a page of the container (once the first run is over).
    void openPage(int page);

    bool isShowingOnboarding() const;
    // The container, created on first use.
    ManagerWindowPages *pages();
    OnboardingPage *onboardingPage() const;
    // The container page on screen, -1 while onboarding shows.
    int containerPage() const;
    // Whether the window watches the application's keys for the recorder:
    // only while it records.
    bool watchesKeysForRecorder() const { return m_watchesKeysForRecorder; }

Q_SIGNALS:
    // Get started: the popup opens under the tray icon.
    void popoverRequested();
    // The language changed: Brimble is to start again.
    void relaunchRequested();
    void quitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Showmainview: the container replaces the onboarding page.
    void Showmainview();
    QWidget *createPage(int page, DimmingLayer &blackLayer);
    bool routeToRecorder(QObject *watched, QEvent *event);
    void watchKeysForRecorder(bool watch);
    void saveWindowState();

    AppContext &m_context;
    ShortcutRecorder &m_recorder;
    ManagerPageFactory m_managerPageFactory;
    NoticeBar *m_noticeBar = nullptr;
    QStackedLayout *m_content = nullptr;
    QList<QAction *> m_menuKeyEquivalents;
    // Children of the window, held here so that they go before its other
    // children, the actions they switch among them; the container first.
    std::unique_ptr<OnboardingPage> m_onboardingPage;
    std::unique_ptr<ManagerWindowPages> m_pages;
    bool m_minimizesOnClose = false;
    bool m_watchesKeysForRecorder = false;
    const QString m_stateFile = WindowState::defaultFile();
    WindowState m_state = WindowState::read(m_stateFile);
    QPointer<ManagerPage> m_managerPage;
};
