#pragma once

#include <QString>

#include <functional>

// What the shortcut recorder drives on screen: the preferences page's label
// and buttons, the application menu's key equivalents, and the manager
// window's dimming layer and alert sheets.
class ShortcutRecorderView
{
public:
    virtual ~ShortcutRecorderView() = default;

    // The label that shows the shortcut.
    virtual void setShortcutLabel(const QString &text) = 0;
    // The button that clears the shortcut.
    virtual void setClearButtonVisible(bool visible) = 0;
    // The record button's look: highlighted (blue border) while recording.
    virtual void setRecordButtonActive(bool active) = 0;
    // Off while recording, so that menu shortcuts reach the recorder.
    virtual void setMenuKeyEquivalentsEnabled(bool enabled) = 0;
    // The dimming layer over the window's page.
    virtual void setDimmed(bool dimmed) = 0;
    // An informational alert with one button, as a sheet on the manager
    // window; dismissed runs when the user closes it.
    virtual void showAlert(const QString &message, const QString &button, std::function<void()> dismissed) = 0;
    // A line under the shortcut saying what the desktop bound for it, where
    // the desktop binds the key itself (the portal); empty hides it.
    virtual void setBindingNote(const QString &text) { Q_UNUSED(text) }
};
