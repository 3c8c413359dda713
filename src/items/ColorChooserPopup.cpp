#include "items/ColorChooserPopup.h"

#include "widgets/PopupGeometry.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QCoreApplication>
#include <QPushButton>

#include <algorithm>

ColorChooserPopup::ColorChooserPopup(QWidget *parent)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("colorChooser"));
    setFrameShape(QFrame::StyledPanel);
    m_picker = new QColorDialog(this);
    m_picker->setWindowFlags(Qt::Widget);
    m_picker->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    // Picking from the screen needs a click outside this popup, and that
    // click closes it; the button is found by the text Qt gives it.
    const QString pickText = QCoreApplication::translate("QColorDialog", "&Pick Screen Color");
    for (QPushButton *button : m_picker->findChildren<QPushButton *>()) {
        if (button->text() == pickText)
            button->hide();
    }

    auto *cancel = new QPushButton(LocalizedText(Text::cancelPanel), this);
    m_choose = new QPushButton(LocalizedText(Text::choose), this);
    m_choose->setObjectName(QStringLiteral("chooseColor"));
    m_choose->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(m_choose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_picker);
    layout->addLayout(buttons);

    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_choose, &QPushButton::clicked, this, &ColorChooserPopup::accept);
}

void ColorChooserPopup::popUp(const QColor &color, QWidget *anchor)
{
    m_picker->setCurrentColor(color);
    adjustSize();
    if (anchor)
        PopupGeometry::moveTo(this, QRect(anchor->mapToGlobal(QPoint(0, 0)), anchor->size()));
    show();
    m_choose->setFocus();
}

QColor ColorChooserPopup::currentColor() const
{
    return m_picker->currentColor();
}

void ColorChooserPopup::setCurrentColor(const QColor &color)
{
    m_picker->setCurrentColor(color);
}

void ColorChooserPopup::accept()
{
    const QColor color = m_picker->currentColor();
    close();
    Q_EMIT colorSelected(color);
}
