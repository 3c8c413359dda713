#include "manager/PaneWidgets.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QLabel>
#include <QToolButton>

namespace PaneWidgets {

QLabel *heading(TextKey key, const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(LocalizedText(key), parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QToolButton *barButton(const QString &objectName, const QString &text, const QString &accessibleName, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(text);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(true);
    return button;
}

QToolButton *sortButton(const QString &objectName, TextKey accessibleKey, QWidget *parent)
{
    QToolButton *button = barButton(objectName, LocalizedText(Text::sort), LocalizedText(accessibleKey), parent);
    button->setToolTip(LocalizedText(Text::sortHint));
    return button;
}

} // namespace PaneWidgets
