#include "prefs/PreferencesPage.h"

#include "hotkey/ShortcutRecorder.h"
#include "prefs/StartAtLogin.h"
#include "store/LocalizedText.h"
#include "store/Settings.h"
#include "store/TextKeys.h"
#include "widgets/DimmingLayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

Q_DECLARE_LOGGING_CATEGORY(lcPrefs)

PreferencesPage::PreferencesPage(const Services &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_blackLayer(&services.blackLayer)
{
    setObjectName(QStringLiteral("preferencesvc"));
    const Settings settings(m_services.preferences);

    auto *lblSettingTitle = new QLabel(LocalizedText(Text::preferencesTitle), this);
    QFont titleFont = lblSettingTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lblSettingTitle->setFont(titleFont);

    m_popupButton_language = new QComboBox(this);
    m_popupButton_language->addItem(LocalizedText(Text::languageEnglish));
    m_popupButton_language->addItem(LocalizedText(Text::languageFrench));
    m_popupButton_language->setCurrentIndex(languageInUse());
    m_popupButton_language->setAccessibleName(LocalizedText(Text::language));
    connect(m_popupButton_language, &QComboBox::activated, this, &PreferencesPage::btnselectLanguage);

    m_checkbox_startatLogin = new QCheckBox(LocalizedText(Text::startAtLogin), this);
    if (const auto stored = settings.startsAtLogin())
        m_checkbox_startatLogin->setChecked(*stored);
    connect(m_checkbox_startatLogin, &QCheckBox::clicked, this, &PreferencesPage::checkbox_startatlogin);

    m_checkbox_ShowFileList = new QCheckBox(LocalizedText(Text::showFilesInFolderMenus), this);
    m_checkbox_ShowFileList->setChecked(settings.showsFileListInFolder());
    connect(m_checkbox_ShowFileList, &QCheckBox::clicked, this, &PreferencesPage::checkbox_showFileList);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setVerticalSpacing(14);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    auto *lblselectlanguage = new QLabel(LocalizedText(Text::language), this);
    lblselectlanguage->setBuddy(m_popupButton_language);
    form->addRow(lblselectlanguage, m_popupButton_language);
    form->addRow(QString(), m_checkbox_startatLogin);
    form->addRow(QString(), m_checkbox_ShowFileList);
    auto *lblshortcutTitle = new QLabel(LocalizedText(Text::globalShortcut), this);
    form->addRow(lblshortcutTitle, buildShortcutRow());
    // While recording, the empty label alone would leave the user guessing.
    m_lblshortcutHint = new QLabel(LocalizedText(Text::recordShortcutHint), this);
    m_lblshortcutHint->setObjectName(QStringLiteral("lblshortcutHint"));
    m_lblshortcutHint->setForegroundRole(QPalette::PlaceholderText);
    m_lblshortcutHint->hide();
    form->addRow(QString(), m_lblshortcutHint);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(lblSettingTitle);
    layout->addSpacing(16);
    layout->addLayout(form);
    layout->addStretch(1);

    m_services.recorder.setView(this);
}

PreferencesPage::~PreferencesPage()
{
    m_services.recorder.setView(nullptr);
    setDimmed(false);
}

QWidget *PreferencesPage::buildShortcutRow()
{
    auto *field = new QWidget(this);
    auto *column = new QVBoxLayout(field);
    column->setContentsMargins(0, 0, 0, 0);
    auto *row = new QWidget(field);
    column->addWidget(row);
    m_lblbindingNote = new QLabel(field);
    m_lblbindingNote->setObjectName(QStringLiteral("lblbindingNote"));
    m_lblbindingNote->setWordWrap(true);
    m_lblbindingNote->setMaximumWidth(420);
    m_lblbindingNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblbindingNote->hide();
    column->addWidget(m_lblbindingNote);

    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    if (!m_services.globalShortcutsAvailable) {
        auto *explanation = new QLabel(LocalizedText(Text::shortcutsNotAllowed), row);
        explanation->setObjectName(QStringLiteral("lblshortcutUnavailable"));
        explanation->setWordWrap(true);
        explanation->setMinimumWidth(380);
        explanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(explanation, 1);
    }

    m_lblshortcut = new QLabel(row);
    m_lblshortcut->setObjectName(QStringLiteral("lblshortcut"));
    m_lblshortcut->setMinimumWidth(140);
    m_lblshortcut->setFrameShape(QFrame::StyledPanel);
    m_lblshortcut->setAccessibleName(LocalizedText(Text::globalShortcut));

    m_btntypeShortcut = new QPushButton(LocalizedText(Text::recordShortcut), row);
    m_btntypeShortcut->setObjectName(QStringLiteral("btntypeShortcut"));
    // Checked while recording: a mark that keeps the button's size and that
    // screen readers announce.
    m_btntypeShortcut->setCheckable(true);
    m_btntypeShortcut->setAccessibleDescription(LocalizedText(Text::recordShortcutHint));
    connect(m_btntypeShortcut, &QPushButton::clicked, this, [this] { m_services.recorder.startRecording(); });

    m_btnrefreshShortcut = new QToolButton(row);
    m_btnrefreshShortcut->setObjectName(QStringLiteral("btnrefreshShortcut"));
    m_btnrefreshShortcut->setIcon(QIcon::fromTheme(QStringLiteral("edit-clear")));
    if (m_btnrefreshShortcut->icon().isNull())
        m_btnrefreshShortcut->setText(QStringLiteral("\u2715"));
    m_btnrefreshShortcut->setAccessibleName(LocalizedText(Text::clearShortcut));
    m_btnrefreshShortcut->setToolTip(LocalizedText(Text::clearShortcut));
    m_btnrefreshShortcut->hide();
    connect(m_btnrefreshShortcut, &QToolButton::clicked, this, [this] { m_services.recorder.clearShortcut(); });

    if (m_services.globalShortcutsAvailable) {
        layout->addWidget(m_lblshortcut);
        layout->addWidget(m_btntypeShortcut);
        layout->addWidget(m_btnrefreshShortcut);
        layout->addStretch(1);
    } else {
        // Nothing can be recorded here; the row only explains.
        m_lblshortcut->hide();
        m_btntypeShortcut->hide();
    }
    return field;
}

void PreferencesPage::setMenuKeyEquivalentsHandler(std::function<void(bool)> handler)
{
    m_menuKeyEquivalents = std::move(handler);
}

int PreferencesPage::languageInUse() const
{
    return Localization::isFrench() ? 1 : 0;
}

void PreferencesPage::btnselectLanguage(int index)
{
    if ((index == 0) == (languageInUse() == 0) || m_alertappQuit)
        return;
    setDimmed(true);
    auto *alert = new QMessageBox(QMessageBox::Information, LocalizedText(Text::appName),
                                  LocalizedText(Text::languageChangeRestarts), QMessageBox::NoButton, window());
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *proceed = alert->addButton(LocalizedText(Text::continueAction), QMessageBox::AcceptRole);
    alert->addButton(LocalizedText(Text::cancelAlert), QMessageBox::RejectRole);
    alert->setDefaultButton(proceed);
    connect(alert, &QMessageBox::finished, this, [this, alert, proceed] {
        if (alert->clickedButton() == proceed)
            alertBtnContinue_appQuit();
        else
            alertBtnstop_appQuit();
    });
    m_alertappQuit = alert;
    alert->open();
}

void PreferencesPage::alertBtnContinue_appQuit()
{
    Settings(m_services.preferences).setSelectedLanguage(m_popupButton_language->currentIndex());
    m_alertappQuit = nullptr;
    setDimmed(false);
    Q_EMIT relaunchRequested();
}

void PreferencesPage::alertBtnstop_appQuit()
{
    m_popupButton_language->setCurrentIndex(languageInUse());
    m_alertappQuit = nullptr;
    setDimmed(false);
}

void PreferencesPage::checkbox_startatlogin(bool on)
{
    StartAtLogin::apply(m_services.loginItems, m_services.preferences, on);
}

void PreferencesPage::checkbox_showFileList(bool on)
{
    qCInfo(lcPrefs).noquote() << (on ? "Successfully add" : "Successfully remove");
    Settings(m_services.preferences).setShowsFileListInFolder(on);
}

void PreferencesPage::setBindingNote(const QString &text)
{
    m_lblbindingNote->setText(text);
    m_lblbindingNote->setVisible(!text.isEmpty());
}

void PreferencesPage::setShortcutLabel(const QString &text)
{
    m_lblshortcut->setText(text);
    // Screen readers read the label by its name: the shortcut goes with it.
    m_lblshortcut->setAccessibleName(text.isEmpty() ? LocalizedText(Text::globalShortcut)
                                                    : LocalizedText(Text::globalShortcutWithValue).arg(text));
}

void PreferencesPage::setClearButtonVisible(bool visible)
{
    m_btnrefreshShortcut->setVisible(visible && m_services.globalShortcutsAvailable);
}

void PreferencesPage::setRecordButtonActive(bool active)
{
    m_btntypeShortcut->setChecked(active);
    m_btntypeShortcut->setProperty("recording", active);
    if (m_lblshortcutHint)
        m_lblshortcutHint->setVisible(active && m_services.globalShortcutsAvailable);
}

void PreferencesPage::setMenuKeyEquivalentsEnabled(bool enabled)
{
    if (m_menuKeyEquivalents)
        m_menuKeyEquivalents(enabled);
}

void PreferencesPage::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    if (!m_blackLayer)
        return;
    if (dimmed)
        m_blackLayer->hold();
    else
        m_blackLayer->release();
}

void PreferencesPage::showAlert(const QString &message, const QString &button, std::function<void()> dismissed)
{
    auto *alert = new QMessageBox(QMessageBox::Information, LocalizedText(Text::appName), message,
                                  QMessageBox::NoButton, window());
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addButton(button, QMessageBox::AcceptRole);
    connect(alert, &QMessageBox::finished, this, [dismissed = std::move(dismissed)] {
        if (dismissed)
            dismissed();
    });
    m_shortcutAlert = alert;
    alert->open();
}

void PreferencesPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_services.recorder.pageWillAppear();
}

void PreferencesPage::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_services.recorder.pageWillDisappear();
}
