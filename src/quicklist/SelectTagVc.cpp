#include "quicklist/SelectTagVc.h"

#include "quicklist/PopupGeometry.h"

#include "store/ColorText.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QToolButton>

namespace {

constexpr int swatchSize = 22;

} // namespace

SelectTagVc::SelectTagVc(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("selectTagvc"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    const QList<QColor> colors = swatchColors();
    for (int index = 0; index < colors.size(); ++index) {
        auto *swatch = new QToolButton(this);
        swatch->setObjectName(QStringLiteral("boxcolor%1").arg(index + 1));
        swatch->setFixedSize(swatchSize, swatchSize);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->setAutoRaise(true);
        swatch->setStyleSheet(QStringLiteral("QToolButton { background: #%1; border-radius: %2px; border: 1px solid "
                                             "rgba(0,0,0,40); } QToolButton:hover { border: 2px solid palette(highlight); }")
                                  .arg(ColorText::fromColor(colors.at(index)))
                                  .arg(swatchSize / 2));
        connect(swatch, &QToolButton::clicked, this, [this, index] { pickSwatch(index); });
        layout->addWidget(swatch);
        m_swatches.append(swatch);
    }
}

QList<QColor> SelectTagVc::swatchColors()
{
    return {QColor(0xFF, 0x3B, 0x30), QColor(0xFF, 0x95, 0x00), QColor(0xFF, 0xCC, 0x00), QColor(0x47, 0xCE, 0x64),
            QColor(0x00, 0x7A, 0xFF), QColor(0xAF, 0x52, 0xDE), QColor(0x8E, 0x8E, 0x93)};
}

void SelectTagVc::openBeside(const QRect &anchor, bool viewOpenFromMainwindow)
{
    m_viewOpenFromMainwindow = viewOpenFromMainwindow;
    adjustSize();
    // A small gap between the anchor and the picker on either side.
    PopupGeometry::moveTo(this, anchor.adjusted(-4, 0, 4, 0), PopupGeometry::Side::right);
    show();
}

void SelectTagVc::pickSwatch(int index)
{
    const QList<QColor> colors = swatchColors();
    if (index < 0 || index >= colors.size())
        return;
    m_selectedColor = colors.at(index);
    Q_EMIT colorPicked(m_selectedColor, m_viewOpenFromMainwindow);
    close();
}
