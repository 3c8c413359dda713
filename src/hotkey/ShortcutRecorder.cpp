#include "hotkey/ShortcutRecorder.h"

#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/Key.h"
#include "hotkey/ShortcutKeyPress.h"
#include "hotkey/ShortcutRecorderView.h"
#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"

#include <QHash>

namespace {

constexpr quint32 escapeKeyCode = 53;

// F1 to F12 are named by their key code rather than by what they type.
const QHash<quint32, QString> &functionKeyNames()
{
    static const QHash<quint32, QString> names{
        {0x7A, QStringLiteral("f1")},  {0x78, QStringLiteral("f2")},  {0x63, QStringLiteral("f3")},
        {0x76, QStringLiteral("f4")},  {0x60, QStringLiteral("f5")},  {0x61, QStringLiteral("f6")},
        {0x62, QStringLiteral("f7")},  {0x64, QStringLiteral("f8")},  {0x65, QStringLiteral("f9")},
        {0x6D, QStringLiteral("f10")}, {0x67, QStringLiteral("f11")}, {0x6F, QStringLiteral("f12")},
    };
    return names;
}

// Keys that the application's own Ctrl shortcuts use; Ctrl alone with one of
// them cannot become the global shortcut.
bool isReserved(const QString &keyString, ModifierFlags modifiers)
{
    static const QStringList reserved{
        QStringLiteral("c"), QStringLiteral("v"), QStringLiteral("z"), QStringLiteral("f"),  QStringLiteral(","),
        QStringLiteral("h"), QStringLiteral("q"), QStringLiteral("n"), QStringLiteral("a"),  QStringLiteral("x"),
        QStringLiteral("m"), QStringLiteral("-"), QStringLiteral("+"), QStringLiteral("\r"),
    };
    const bool commandOnly = modifiers.contains(ModifierFlags::command) && !modifiers.contains(ModifierFlags::option)
                             && !modifiers.contains(ModifierFlags::control)
                             && !modifiers.contains(ModifierFlags::shift);
    return commandOnly && reserved.contains(keyString.toLower());
}

} // namespace

ShortcutRecorder::ShortcutRecorder(PreferencesStore &preferences, GlobalShortcut &shortcut)
    : m_preferences(preferences)
    , m_shortcut(shortcut)
    , m_alive(std::make_shared<ShortcutRecorder *>(this))
{
    HotKeysController::setRegistrationFailedHandler([this] { registrationFailed(); });
}

ShortcutRecorder::~ShortcutRecorder()
{
    HotKeysController::setRegistrationFailedHandler({});
    if (m_watchedService)
        m_watchedService->setBindingChangedHandler({});
}

void ShortcutRecorder::setView(ShortcutRecorderView *view)
{
    m_view = view;
    refreshBindingNote();
}

void ShortcutRecorder::refreshBindingNote()
{
    HotKeyService *service = HotKeysController::service();
    if (service != m_watchedService) {
        if (m_watchedService)
            m_watchedService->setBindingChangedHandler({});
        m_watchedService = service;
        if (service)
            service->setBindingChangedHandler([this] { refreshBindingNote(); });
    }
    if (!m_view)
        return;
    // Where nothing can be bound the page explains `brimble --toggle` itself.
    QString note;
    if (service && service->isAvailable() && service->isDesktopBound() && !m_shortcut.shortcutModifiers().isEmpty()) {
        const QString bound = service->boundTriggerDescription();
        note = bound.isEmpty() ? LocalizedText(Text::shortcutNotBoundYet)
                               : LocalizedText(Text::shortcutBoundByDesktop).arg(bound);
    }
    m_view->setBindingNote(note);
}

void ShortcutRecorder::setRecordingChangedHandler(std::function<void(bool recording)> handler)
{
    m_recordingChanged = std::move(handler);
}

void ShortcutRecorder::setRecording(bool recording)
{
    if (recording == m_isRecording)
        return;
    m_isRecording = recording;
    if (m_recordingChanged)
        m_recordingChanged(recording);
}

void ShortcutRecorder::startRecording()
{
    setRecording(true);
    if (m_view) {
        m_view->setMenuKeyEquivalentsEnabled(false);
        m_view->setShortcutLabel(QString());
        m_view->setClearButtonVisible(false);
        m_view->setRecordButtonActive(true);
    }
    m_shortcut.unregisterShortcut();
    forgetShortcut();
}

void ShortcutRecorder::clearShortcut()
{
    endRecording();
    forgetShortcut();
    m_shortcut.unregisterShortcut();
    m_preferences.removeObjectForKey(StoreKeys::shortcutKey);
    m_preferences.removeObjectForKey(StoreKeys::shortcutflag);
    m_storedShortcutRefused = false;
    refreshBindingNote();
    if (m_view) {
        m_view->setShortcutLabel(LocalizedText(Text::shortcutNotSet));
        m_view->setClearButtonVisible(false);
    }
}

bool ShortcutRecorder::modifiersChanged(ModifierFlags held, int containerPage)
{
    if (!m_isRecording || containerPage != preferencesPage)
        return false;
    if (m_shortcut.shortcutKey().isEmpty() && m_view)
        m_view->setShortcutLabel(held.readableDescription());
    // Every modifier let go without a key: the shortcut is cleared.
    if (!held.hasShortcutModifier())
        clearShortcut();
    return true;
}

bool ShortcutRecorder::keyPressed(const ShortcutKeyPress &press, int containerPage)
{
    if (!m_isRecording || containerPage != preferencesPage)
        return false;
    // Escape gives up the recording and keeps the shortcut the user had.
    if (press.keyCode == escapeKeyCode) {
        printLine(QStringLiteral("ESC"));
        cancelRecording();
        return true;
    }
    // Tab and Shift+Tab leave the recorder as they leave any field: the
    // recording ends and the focus moves on.
    if (press.characters == u"\t" && !GlobalShortcut::hasGrabModifier(press.modifiers)) {
        cancelRecording();
        return false;
    }
    if (press.characters.isEmpty())
        return true;

    QString characters = press.characters;
    characters.replace(u'<', u',').replace(u'>', u'.');
    const QString keyString = functionKeyNames().value(press.keyCode, characters);

    // A key without Ctrl, Alt or Super, or Tab, grabbed for the whole desktop
    // would break typing in every application.
    if (isReserved(keyString, press.modifiers) || !GlobalShortcut::isGrabbable(keyString, press.modifiers)) {
        refuseReserved();
        return true;
    }
    // What shift makes of a digit ("!") and the like name no key; taking
    // them would register some other key, so recording goes on instead.
    if (!Keys::fromString(keyString))
        return true;
    accept(keyString, press.modifiers);
    return true;
}

void ShortcutRecorder::refuseReserved()
{
    forgetShortcut();
    if (!m_view)
        return;
    m_view->setDimmed(true);
    m_view->setShortcutLabel(QString());
    std::weak_ptr<ShortcutRecorder *> alive = m_alive;
    m_view->showAlert(LocalizedText(Text::shortcutTaken), LocalizedText(Text::ok), [alive] {
        if (const auto self = alive.lock(); self && (*self)->m_view)
            (*self)->m_view->setDimmed(false);
    });
}

void ShortcutRecorder::accept(const QString &keyString, ModifierFlags modifiers)
{
    m_shortcut.setShortcutKey(keyString);
    m_shortcut.setShortcutModifiers(modifiers);
    m_preferences.setObject(keyString, StoreKeys::shortcutKey);
    m_preferences.setObject(ShortcutCodes::fromModifiers(modifiers), StoreKeys::shortcutflag);
    m_storedShortcutRefused = false;

    endRecording();
    if (m_view) {
        m_view->setShortcutLabel(m_shortcut.readableShortcut());
        m_view->setClearButtonVisible(true);
    }
    if (keyString == u"r" || keyString == u"," || keyString == u"/")
        printLine(QStringLiteral("CMD + ") + keyString);

    // Last, so that a refusal's routine has the final word on the page.
    m_shortcut.registerShortcut();
    refreshBindingNote();
}

void ShortcutRecorder::endRecording()
{
    setRecording(false);
    if (m_view) {
        m_view->setMenuKeyEquivalentsEnabled(true);
        m_view->setRecordButtonActive(false);
    }
}

void ShortcutRecorder::cancelRecording()
{
    refreshLabel(false);
}

void ShortcutRecorder::pageWillAppear()
{
    refreshLabel(false);
}

void ShortcutRecorder::pageWillDisappear()
{
    refreshLabel(true);
}

void ShortcutRecorder::refreshLabel(bool disappearing)
{
    const bool abandoned = m_isRecording;
    setRecording(false);
    if (m_view) {
        if (disappearing || abandoned)
            m_view->setMenuKeyEquivalentsEnabled(true);
        m_view->setRecordButtonActive(false);
    }
    // Starting a recording unregistered the shortcut; leaving it without a
    // new key brings the stored one back instead of leaving none working.
    if (abandoned && !m_storedShortcutRefused) {
        forgetShortcut();
        m_shortcut.restore();
    }
    if (!m_view)
        return;
    const bool hasShortcut = !m_shortcut.shortcutModifiers().isEmpty();
    m_view->setShortcutLabel(hasShortcut ? m_shortcut.readableShortcut() : LocalizedText(Text::shortcutNotSet));
    m_view->setClearButtonVisible(hasShortcut);
    refreshBindingNote();
}

void ShortcutRecorder::registrationFailed()
{
    if (!m_view)
        return;
    m_storedShortcutRefused = true;
    forgetShortcut();
    refreshBindingNote();
    m_view->setShortcutLabel(QString());
    m_view->setDimmed(true);

    // Where the session has no global grabs at all, recording again cannot
    // help: the user is told how to bind the shortcut in the desktop instead.
    const HotKeyService *service = HotKeysController::service();
    const bool grabsAvailable = service && service->isAvailable();
    const QString message = LocalizedText(grabsAvailable ? Text::shortcutTaken : Text::shortcutsUnavailable);
    std::weak_ptr<ShortcutRecorder *> alive = m_alive;
    m_view->showAlert(message, LocalizedText(Text::ok), [alive, grabsAvailable] {
        const auto self = alive.lock();
        if (!self || !(*self)->m_view)
            return;
        ShortcutRecorder &recorder = **self;
        recorder.forgetShortcut();
        recorder.m_view->setShortcutLabel(QString());
        if (grabsAvailable)
            recorder.startRecording();
        else
            recorder.m_view->setShortcutLabel(LocalizedText(Text::shortcutNotSet));
        recorder.m_view->setDimmed(false);
    });
}

void ShortcutRecorder::forgetShortcut()
{
    m_shortcut.setShortcutKey(QString());
    m_shortcut.setShortcutModifiers(ModifierFlags());
}
