#include "items/FileDropArea.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

FileDropArea::FileDropArea(QWidget *parent)
    : QFrame(parent)
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

std::optional<QStringList> FileDropArea::droppedFiles(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    }
    if (paths.isEmpty())
        return std::nullopt;
    return paths;
}

void FileDropArea::dragEnterEvent(QDragEnterEvent *event)
{
    if (droppedFiles(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        setHighlighted(true);
    } else {
        event->ignore();
    }
}

void FileDropArea::dragMoveEvent(QDragMoveEvent *event)
{
    if (droppedFiles(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileDropArea::dragLeaveEvent(QDragLeaveEvent *event)
{
    setHighlighted(false);
    QFrame::dragLeaveEvent(event);
}

void FileDropArea::dropEvent(QDropEvent *event)
{
    setHighlighted(false);
    const auto paths = droppedFiles(event->mimeData());
    if (!paths) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Q_EMIT filesDropped(*paths);
}

void FileDropArea::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!m_highlighted)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlphaF(0.15);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}

void FileDropArea::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    update();
}
