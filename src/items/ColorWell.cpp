#include "items/ColorWell.h"

#include "items/ColorChooserPopup.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace {
// The well's colour until the user picks one.
constexpr QRgb initialColor = 0x2C76E9;
} // namespace

ColorWell::ColorWell(QWidget *parent)
    : QPushButton(parent)
    , m_color(QColor::fromRgb(initialColor))
{
    setToolTip(LocalizedText(Text::chooseColourTitle));
    setAccessibleName(LocalizedText(Text::colour));
    setMinimumSize(56, 26);
    // In a panel, Return belongs to the panel's confirm button: a well that
    // became the default button on a click would swallow it, even once
    // hidden in another mode of the panel.
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ColorWell::openChooser);
}

void ColorWell::setColor(const QColor &color)
{
    if (!color.isValid() || color == m_color)
        return;
    m_color = color;
    update();
    Q_EMIT colorChanged(m_color);
}

void ColorWell::openChooser()
{
    if (!m_chooser) {
        m_chooser = new ColorChooserPopup(this);
        connect(m_chooser, &ColorChooserPopup::colorSelected, this, &ColorWell::setColor);
    }
    m_chooser->popUp(m_color, this);
}

void ColorWell::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(m_color);
    painter.drawRoundedRect(QRectF(inside).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}
