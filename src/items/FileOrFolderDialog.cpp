#include "items/FileOrFolderDialog.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDir>
#include <QFileInfo>

FileOrFolderDialog::FileOrFolderDialog(QWidget *parent)
    : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFilter(filter() | QDir::Hidden | QDir::AllDirs);
    setWindowTitle(LocalizedText(Text::chooseFileToAdd));
    // The user's files, not wherever the application was started from.
    setDirectory(QDir::homePath());
}

void FileOrFolderDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.size() == 1 && QFileInfo(files.first()).isDir()) {
        // The folder itself is the choice; the base class would enter it.
        m_chosenPath = QFileInfo(files.first()).absoluteFilePath();
        QDialog::accept();
        return;
    }
    QFileDialog::accept();
    if (result() == QDialog::Accepted && !selectedFiles().isEmpty())
        m_chosenPath = QFileInfo(selectedFiles().first()).absoluteFilePath();
}

std::optional<QString> FileOrFolderDialog::choose(QWidget *parent)
{
    FileOrFolderDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().isEmpty())
        return std::nullopt;
    return dialog.chosenPath();
}
