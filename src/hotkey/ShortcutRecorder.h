#pragma once

#include "hotkey/ModifierFlags.h"

#include <functional>
#include <memory>

class GlobalShortcut;
class HotKeyService;
class PreferencesStore;
class ShortcutRecorderView;
struct ShortcutKeyPress;

// Records the user's global shortcut on the preferences page: the record
// button starts it, the next key pressed with Ctrl, Alt or Super becomes
// the shortcut, stored in "shortcutKey" and "shortcutflag" and registered at
// once. Key presses and modifier changes of the manager window are offered
// here first; only on the preferences page (container page 1) while
// recording are they taken.
class ShortcutRecorder final
{
public:
    // The container page on which recording reacts.
    static constexpr int preferencesPage = 1;

    // Installs itself as the registry's registration-failure routine.
    ShortcutRecorder(PreferencesStore &preferences, GlobalShortcut &shortcut);
    ~ShortcutRecorder();

    ShortcutRecorder(const ShortcutRecorder &) = delete;
    ShortcutRecorder &operator=(const ShortcutRecorder &) = delete;

    // The view exists with the manager window; until then the failure
    // routine does nothing and nothing is drawn. The view's binding note
    // follows what the registry's hot-key service binds.
    void setView(ShortcutRecorderView *view);

    bool isRecordingShortcut() const { return m_isRecording; }
    // Told each time a recording starts (true) or ends (false): the window
    // watches the keys only meanwhile.
    void setRecordingChangedHandler(std::function<void(bool recording)> handler);

    // The record button.
    void startRecording();
    // The clear button.
    void clearShortcut();
    // Escape: the recording ends and the shortcut from before it stays.
    void cancelRecording();
    // True when the event was taken. Tab and Shift+Tab end the recording
    // and are not taken, so that the focus moves on.
    bool modifiersChanged(ModifierFlags held, int containerPage);
    bool keyPressed(const ShortcutKeyPress &press, int containerPage);

    // The preferences page is about to appear or disappear. A recording left
    // unfinished ends and the stored shortcut is registered again.
    void pageWillAppear();
    void pageWillDisappear();

    // The system refused the shortcut: the user is told and records anew.
    void registrationFailed();

private:
    void setRecording(bool recording);
    void accept(const QString &keyString, ModifierFlags modifiers);
    void refuseReserved();
    void endRecording();
    void refreshLabel(bool disappearing);
    void forgetShortcut();
    void refreshBindingNote();

    PreferencesStore &m_preferences;
    GlobalShortcut &m_shortcut;
    ShortcutRecorderView *m_view = nullptr;
    bool m_isRecording = false;
    std::function<void(bool)> m_recordingChanged;
    // The stored shortcut was refused by the system in this run, so leaving
    // a recording does not try it again.
    bool m_storedShortcutRefused = false;
    std::shared_ptr<ShortcutRecorder *> m_alive;
    // The service whose binding changes update the note.
    HotKeyService *m_watchedService = nullptr;
};
