#pragma once

#include "app/ScriptCommands.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// The small window `brimble --add` opens without --group: which group the
// files and addresses go to, one of the stored groups or a new one.
class GroupChooserDialog final : public QDialog
{
    Q_OBJECT

public:
    GroupChooserDialog(const QStringList &groupTitles, const QStringList &targets, QWidget *parent = nullptr);

    // What the user chose, once they pressed Add; nothing before, or when
    // they cancelled.
    std::optional<ScriptCommands::GroupChoice> choice() const;

private:
    void updateNewGroupField();
    bool choosesNewGroup() const;

    QComboBox *m_groups = nullptr;
    QLineEdit *m_newGroupName = nullptr;
    QPushButton *m_add = nullptr;
};
