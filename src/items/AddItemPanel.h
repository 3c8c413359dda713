#pragma once

#include "items/ItemEditor.h"

#include <QDialog>

#include <optional>

class CharacterPalette;
class ColorWell;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class ViewLinks;

// The manager's panel that adds a web bookmark, a text note or a colour to
// its selected group, or edits one of these. Shown window-modal over the
// manager; Return confirms, Escape cancels. Made once and reused: the colour
// stays as last chosen between openings.
// Known elsewhere as addPanelvc.
class AddItemPanel final : public QDialog
{
    Q_OBJECT

public:
    AddItemPanel(const ItemServices &services, CharacterPalette &palette, QWidget *parent = nullptr);

    // Readies the panel for viewopenfor in currentGroupName: adding, or,
    // when edited is given (with its uid), editing that item.
    void prepare(PanelKind viewopenfor, const QString &currentGroupName, const std::optional<Item> &edited);
    void showPanel(PanelKind viewopenfor, const QString &currentGroupName, const std::optional<Item> &edited);

    PanelKind viewopenfor() const { return m_viewopenfor; }
    QString currentGroupName() const { return m_currentGroupName; }
    bool editing() const { return m_editedUid.has_value(); }

public Q_SLOTS:
    void btnadd();
    void btnCancel();
    void btnemojiClicked();

Q_SIGNALS:
    // The item uid was stored in currentGroupName.
    void saved(qint64 uid);

private:
    ItemServices m_services;
    ItemEditor m_editor;
    CharacterPalette &m_palette;
    PanelKind m_viewopenfor = PanelKind::webBookmark;
    QString m_currentGroupName;
    std::optional<qint64> m_editedUid;
    bool m_noteUnreadable = false;

    QLabel *lbltitle = nullptr;
    QLabel *lblsubtitle = nullptr;
    QLabel *lblsecondTitle = nullptr;
    QLineEdit *txtfieldTitle = nullptr;
    QLineEdit *txtfieldurl = nullptr;
    QPlainTextEdit *textview = nullptr;
    ColorWell *colorwell = nullptr;
    QLabel *lblalert = nullptr;
    QPushButton *btnadd_ = nullptr;
    QPushButton *btncancel = nullptr;
    QToolButton *btnemoji = nullptr;
};
