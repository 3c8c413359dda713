#pragma once

#include "items/ItemEditor.h"

#include <QDialog>

class CharacterPalette;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The manager's panel that renames a file item: only its title changes.
// Known elsewhere as editFileFolderitemvc.
class EditItemPanel final : public QDialog
{
    Q_OBJECT

public:
    EditItemPanel(const ItemServices &services, CharacterPalette &palette, QWidget *parent = nullptr);

    void prepare(const QString &currentGroupName, const Item &item);
    void showPanel(const QString &currentGroupName, const Item &item);

public Q_SLOTS:
    void btnedit();
    void btncancel_();
    void btnemojiclicked();

Q_SIGNALS:
    void saved(qint64 uid);

private:
    ItemEditor m_editor;
    CharacterPalette &m_palette;
    QString m_currentGroupName;
    qint64 m_uid = 0;

    QLineEdit *txtfieldTitle = nullptr;
    QLabel *lblalert = nullptr;
    QPushButton *btnedit_ = nullptr;
    QPushButton *btncancel = nullptr;
    QToolButton *btnemoji = nullptr;
};
