#pragma once

#include <QFileDialog>

#include <optional>

// A file dialog in which one file or one folder can be chosen: a selected
// folder is taken by the Open button, while a double click still enters
// it. Hidden files are listed. Qt's own dialog is used because the
// desktop's dialogs choose either files or folders, never both.
class FileOrFolderDialog final : public QFileDialog
{
    Q_OBJECT

public:
    explicit FileOrFolderDialog(QWidget *parent = nullptr);

    // The path chosen, or nothing when the user cancelled.
    static std::optional<QString> choose(QWidget *parent = nullptr);

    // The chosen path once the dialog was accepted.
    QString chosenPath() const { return m_chosenPath; }

public Q_SLOTS:
    void accept() override;

private:
    QString m_chosenPath;
};
