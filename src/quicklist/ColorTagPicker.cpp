#include "quicklist/ColorTagPicker.h"

#include "widgets/PopupGeometry.h"

#include "store/ColorText.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>

namespace {

constexpr int swatchSize = 22;
// The names of the colours of swatchColors(), in the same order.
constexpr TextKey colorNameKeys[] = {Text::colourRed,  Text::colourOrange, Text::colourYellow, Text::colourGreen,
                                     Text::colourBlue, Text::colourPurple, Text::colourGrey};

} // namespace

ColorTagPicker::ColorTagPicker(QWidget *parent)
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
        swatch->setFocusPolicy(Qt::StrongFocus);
        swatch->installEventFilter(this);
        swatch->setStyleSheet(QStringLiteral("QToolButton { background: #%1; border-radius: %2px; border: 1px solid "
                                             "rgba(0,0,0,40); } QToolButton:hover, QToolButton:focus { border: 2px "
                                             "solid palette(highlight); }")
                                  .arg(ColorText::fromColor(colors.at(index)))
                                  .arg(swatchSize / 2));
        connect(swatch, &QToolButton::clicked, this, [this, index] { pickSwatch(index); });
        layout->addWidget(swatch);
        m_swatches.append(swatch);
    }
}

QList<QColor> ColorTagPicker::swatchColors()
{
    return {QColor(0xFF, 0x3B, 0x30), QColor(0xFF, 0x95, 0x00), QColor(0xFF, 0xCC, 0x00), QColor(0x47, 0xCE, 0x64),
            QColor(0x00, 0x7A, 0xFF), QColor(0xAF, 0x52, 0xDE), QColor(0x8E, 0x8E, 0x93)};
}

void ColorTagPicker::openBeside(const QRect &anchor, bool viewOpenFromMainwindow, const QColor &current)
{
    m_viewOpenFromMainwindow = viewOpenFromMainwindow;
    // The names are set here rather than at creation, which may come before
    // the texts are loaded.
    setAccessibleName(LocalizedText(Text::changeColourTag));
    for (int index = 0; index < m_swatches.size(); ++index) {
        m_swatches.at(index)->setAccessibleName(LocalizedText(colorNameKeys[index]));
        m_swatches.at(index)->setToolTip(m_swatches.at(index)->accessibleName());
    }
    if (QWidget *focus = QApplication::focusWidget(); focus && focus != this && !isAncestorOf(focus))
        m_returnFocus = focus;
    adjustSize();
    // A small gap between the anchor and the picker on either side.
    PopupGeometry::moveTo(this, anchor.adjusted(-4, 0, 4, 0), PopupGeometry::Side::right);
    show();
    const QList<QColor> colors = swatchColors();
    int offered = 0;
    for (int index = 0; current.isValid() && index < colors.size(); ++index) {
        if (colors.at(index).rgb() == current.rgb())
            offered = index;
    }
    m_swatches.at(offered)->setFocus(Qt::PopupFocusReason);
}

void ColorTagPicker::pickSwatch(int index)
{
    const QList<QColor> colors = swatchColors();
    if (index < 0 || index >= colors.size())
        return;
    m_selectedColor = colors.at(index);
    Q_EMIT colorPicked(m_selectedColor, m_viewOpenFromMainwindow);
    close();
}

bool ColorTagPicker::eventFilter(QObject *watched, QEvent *event)
{
    const int index = m_swatches.indexOf(qobject_cast<QToolButton *>(watched));
    if (index < 0 || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QWidget::eventFilter(watched, event);
    // The arrows go round the row of swatches; Space (the button's own key)
    // and Return pick the one with the focus.
    const int count = int(m_swatches.size());
    const int forward = layoutDirection() == Qt::RightToLeft ? Qt::Key_Left : Qt::Key_Right;
    int next = -1;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pickSwatch(index);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        next = (index + (key->key() == forward ? 1 : count - 1)) % count;
        break;
    case Qt::Key_Down:
        next = (index + 1) % count;
        break;
    case Qt::Key_Up:
        next = (index + count - 1) % count;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = count - 1;
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    m_swatches.at(next)->setFocus(Qt::TabFocusReason);
    return true;
}

void ColorTagPicker::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Picked or dismissed (Escape, a click elsewhere), the keyboard goes
    // back to the list the picker was opened from.
    if (QWidget *back = m_returnFocus.data(); back && back->isVisible())
        back->setFocus(Qt::PopupFocusReason);
    m_returnFocus.clear();
}
