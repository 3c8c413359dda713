#pragma once

#include <QFrame>
#include <QStringList>

#include <optional>

class QMimeData;

// An area that takes files dragged in from a file manager (a text/uri-list
// of local files) and hands their paths on, in the order of the drag.
// Anything else (web links, text, images) is refused.
// Known elsewhere as DropView.
class FileDropArea final : public QFrame
{
    Q_OBJECT

public:
    explicit FileDropArea(QWidget *parent = nullptr);

    // The local file paths that data carries, in order; nothing when it
    // carries none. Entries that are not local files are skipped.
    static std::optional<QStringList> droppedFiles(const QMimeData *data);

Q_SIGNALS:
    // Connected to the manager's addDroppedFiles.
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setHighlighted(bool highlighted);

    bool m_highlighted = false;
};
