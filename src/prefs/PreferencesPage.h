#pragma once

#include "hotkey/ShortcutRecorderView.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

class DimmingLayer;
class LoginItems;
class PreferencesStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class ShortcutRecorder;

// The preferences page: language (applied by a relaunch the user confirms),
// start at login, folder listing, and the global shortcut's row, which is
// drawn here and decided by the ShortcutRecorder.
// Known elsewhere as preferencesvc.
class PreferencesPage final : public QWidget, public ShortcutRecorderView
{
    Q_OBJECT

public:
    struct Services
    {
        PreferencesStore &preferences;
        LoginItems &loginItems;
        ShortcutRecorder &recorder;
        // The container's dimming layer, held while an alert of the page is up.
        DimmingLayer &blackLayer;
        // False where the session lets no application grab keys (Wayland):
        // the shortcut row then explains how to bind "brimble --toggle".
        bool globalShortcutsAvailable = true;
    };

    explicit PreferencesPage(const Services &services, QWidget *parent = nullptr);
    ~PreferencesPage() override;

    // The window's menu shortcuts that recording turns off, so their keys
    // reach the recorder.
    void setMenuKeyEquivalentsHandler(std::function<void(bool)> handler);

    // The language confirmation while it is open.
    QMessageBox *alertappQuit() const { return m_alertappQuit; }
    // The recorder's alert while it is open.
    QMessageBox *shortcutAlert() const { return m_shortcutAlert; }

    void btnselectLanguage(int index);
    void alertBtnContinue_appQuit();
    void alertBtnstop_appQuit();
    void checkbox_startatlogin(bool on);
    void checkbox_showFileList(bool on);

    // ShortcutRecorderView
    void setShortcutLabel(const QString &text) override;
    void setClearButtonVisible(bool visible) override;
    void setRecordButtonActive(bool active) override;
    void setMenuKeyEquivalentsEnabled(bool enabled) override;
    void setDimmed(bool dimmed) override;
    void showAlert(const QString &message, const QString &button, std::function<void()> dismissed) override;
    void setBindingNote(const QString &text) override;

Q_SIGNALS:
    // The user confirmed a new language: "selectedLanguage" is stored and
    // the application is to start again.
    void relaunchRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *buildShortcutRow();
    int languageInUse() const;

    Services m_services;
    std::function<void(bool)> m_menuKeyEquivalents;
    QPointer<DimmingLayer> m_blackLayer;
    bool m_dimmed = false;
    QComboBox *m_popupButton_language = nullptr;
    QCheckBox *m_checkbox_startatLogin = nullptr;
    QCheckBox *m_checkbox_ShowFileList = nullptr;
    QLabel *m_lblshortcut = nullptr;
    QLabel *m_lblshortcutHint = nullptr;
    // What the desktop bound, under the row, where the desktop binds the key.
    QLabel *m_lblbindingNote = nullptr;
    QPushButton *m_btntypeShortcut = nullptr;
    QToolButton *m_btnrefreshShortcut = nullptr;
    QPointer<QMessageBox> m_alertappQuit;
    QPointer<QMessageBox> m_shortcutAlert;
};
