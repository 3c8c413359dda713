#include "app/NoticeBar.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace {
constexpr auto barName = Text::noticeBarName; // Message about your favourites
constexpr auto dismissName = Text::dismiss;   // Dismiss
} // namespace

NoticeBar::NoticeBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("noticeBar"));
    setAccessibleName(LocalizedText(barName));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, colors.color(QPalette::ToolTipBase));
    colors.setColor(QPalette::WindowText, colors.color(QPalette::ToolTipText));
    setPalette(colors);

    auto *icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(iconSize, iconSize));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("noticeText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *dismiss = new QToolButton(this);
    dismiss->setObjectName(QStringLiteral("noticeDismiss"));
    dismiss->setAccessibleName(LocalizedText(dismissName));
    dismiss->setToolTip(LocalizedText(dismissName));
    dismiss->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    dismiss->setAutoRaise(true);
    connect(dismiss, &QToolButton::clicked, this, &QWidget::hide);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 6, 6);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    layout->addWidget(dismiss, 0, Qt::AlignTop);
    hide();
}

void NoticeBar::showMessage(const QString &text)
{
    m_text->setText(text);
    setAccessibleDescription(text);
    show();
    QAccessibleEvent announcement(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&announcement);
}

QString NoticeBar::message() const
{
    return isHidden() ? QString() : m_text->text();
}
