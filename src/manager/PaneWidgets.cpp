#include "manager/PaneWidgets.h"

#include "store/LocalizedText.h"

#include <QLabel>
#include <QToolButton>

namespace PaneWidgets {

QLabel *heading(const char *key, const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(LocalizedText(key), parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QToolButton *barButton(const QString &objectName, const QString &text, const QString &accessibleName,
                       QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(text);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(true);
    return button;
}

QToolButton *sortButton(const QString &objectName, const char *accessibleKey, QWidget *parent)
{
    QToolButton *button = barButton(objectName, LocalizedText("IDS_BR_135"), LocalizedText(accessibleKey), parent);
    button->setToolTip(LocalizedText("IDS_BR_136"));
    return button;
}

} // namespace PaneWidgets
