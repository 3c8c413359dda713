#include "manager/PreviewWindow.h"

#include "manager/FileTypeIcons.h"
#include "platform/BoundedImageReader.h"
#include "platform/RegularFile.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr QSize defaultSize(640, 480);
// Pictures are decoded no larger than 4096 pixels a side, whatever their own
// size; larger files, or headers claiming more pixels than the largest
// panoramas, get the details page.
const BoundedImageReader::Limits pictureLimits{128 * 1024 * 1024, QSize(4096, 4096), 100'000'000};
// Enough of a file's start to tell its type by its content.
constexpr qint64 sniffedBytes = 4096;
} // namespace

PreviewWindow::PreviewWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("previewWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(defaultSize);
    m_pages = new QStackedWidget(this);

    m_pictureLabel = new QLabel(m_pages);
    m_pictureLabel->setObjectName(QStringLiteral("previewPicture"));
    m_pictureLabel->setAlignment(Qt::AlignCenter);
    m_pictureLabel->setMinimumSize(1, 1);
    // The picture is fitted to the label whenever the label changes size,
    // the first layout of the window included.
    m_pictureLabel->installEventFilter(this);
    m_pages->addWidget(m_pictureLabel);

    m_text = new QPlainTextEdit(m_pages);
    m_text->setObjectName(QStringLiteral("previewText"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pages->addWidget(m_text);

    auto *details = new QWidget(m_pages);
    auto *detailsLayout = new QVBoxLayout(details);
    m_icon = new QLabel(details);
    m_icon->setAlignment(Qt::AlignCenter);
    m_name = new QLabel(details);
    m_name->setObjectName(QStringLiteral("previewName"));
    m_name->setAlignment(Qt::AlignCenter);
    m_name->setTextFormat(Qt::PlainText);
    m_name->setWordWrap(true);
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_details = new QLabel(details);
    m_details->setObjectName(QStringLiteral("previewDetails"));
    m_details->setAlignment(Qt::AlignCenter);
    m_details->setTextFormat(Qt::PlainText);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detailsLayout->addStretch();
    detailsLayout->addWidget(m_icon);
    detailsLayout->addWidget(m_name);
    detailsLayout->addWidget(m_details);
    detailsLayout->addStretch();
    m_pages->addWidget(details);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    // Space closes the preview as it opened it, Escape too; as shortcuts of
    // the window they reach it even from the text view, which would
    // otherwise turn a page on Space.
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Escape}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
}

void PreviewWindow::toggle(const QString &path)
{
    if (isVisible() && path == m_path) {
        close();
        return;
    }
    showFile(path);
}

void PreviewWindow::showFile(const QString &path)
{
    m_path = path;
    m_picture = QImage();
    setWindowTitle(QFileInfo(path).fileName());
    if (!showPicture() && !showText())
        showDetails();
    show();
    raise();
    activateWindow();
}

bool PreviewWindow::showPicture()
{
    m_picture = BoundedImageReader::fromFile(m_path, pictureLimits);
    if (m_picture.isNull())
        return false;
    m_shown = Shown::picture;
    m_pages->setCurrentWidget(m_pictureLabel);
    scalePicture();
    return true;
}

bool PreviewWindow::showText()
{
    const RegularFile::Contents start = RegularFile::readStart(m_path, textLimit);
    if (!start.ok()
        || !QMimeDatabase().mimeTypeForFileNameAndData(m_path, start.bytes).inherits(QStringLiteral("text/plain")))
        return false;
    m_text->setPlainText(QString::fromUtf8(start.bytes));
    m_shown = Shown::text;
    m_pages->setCurrentWidget(m_text);
    return true;
}

void PreviewWindow::showDetails()
{
    const QFileInfo info(m_path);
    FileTypeIcons icons;
    m_icon->setPixmap(icons.iconFor(m_path).pixmap(96, 96));
    m_name->setText(info.fileName());
    // Told by content only from what the checked reader gives: a FIFO is
    // never opened, and is told by what it is.
    const RegularFile::Contents start = RegularFile::readStart(m_path, sniffedBytes);
    const QMimeDatabase types;
    const QMimeType type = start.ok() ? types.mimeTypeForFileNameAndData(m_path, start.bytes)
                                      : types.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    const QLocale locale;
    // A file that is gone has no type to tell; saying so is what helps.
    QStringList lines{info.exists() ? LocalizedText(Text::previewType).arg(type.comment())
                                    : LocalizedText(Text::previewNotFound)};
    if (info.isFile())
        lines.append(LocalizedText(Text::previewSize).arg(locale.formattedDataSize(info.size())));
    if (info.exists())
        lines.append(
            LocalizedText(Text::previewModified).arg(locale.toString(info.lastModified(), QLocale::LongFormat)));
    m_details->setText(lines.join(QLatin1Char('\n')));
    m_shown = Shown::details;
    m_pages->setCurrentIndex(2);
}

void PreviewWindow::scalePicture()
{
    if (m_picture.isNull())
        return;
    const QSize area = m_pictureLabel->size();
    QPixmap pixmap = QPixmap::fromImage(m_picture);
    if (pixmap.width() > area.width() || pixmap.height() > area.height())
        pixmap = pixmap.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_pictureLabel->setPixmap(pixmap);
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pictureLabel && event->type() == QEvent::Resize && m_shown == Shown::picture)
        scalePicture();
    return QWidget::eventFilter(watched, event);
}
