#include "quicklist/QuickListToolbar.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace {

QIcon magnifierIcon()
{
    QIcon themed = QIcon::fromTheme(QStringLiteral("edit-find"));
    if (!themed.isNull())
        return themed;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(110, 110, 110), 3));
    painter.drawEllipse(QRectF(5, 5, 16, 16));
    painter.drawLine(QPointF(19, 19), QPointF(27, 27));
    return QIcon(pixmap);
}

QToolButton *toolButton(const QString &name, const QString &themeIcon, const QString &fallbackText,
                        const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    const QIcon icon = QIcon::fromTheme(themeIcon);
    if (icon.isNull())
        button->setText(fallbackText);
    else
        button->setIcon(icon);
    return button;
}

QPoint below(const QWidget *button)
{
    return button->mapToGlobal(QPoint(0, button->height()));
}

} // namespace

QuickListToolbar::QuickListToolbar(QWidget *parent)
    : QWidget(parent)
{
    auto *bar = new QHBoxLayout(this);
    bar->setContentsMargins(8, 6, 6, 6);
    bar->setSpacing(4);
    imgviewsearch = new QLabel(this);
    imgviewsearch->setObjectName(QStringLiteral("imgviewsearch"));
    imgviewsearch->setPixmap(magnifierIcon().pixmap(16, 16));
    btnsearch = new QToolButton(this);
    btnsearch->setObjectName(QStringLiteral("btnsearch"));
    btnsearch->setAutoRaise(true);
    btnsearch->setFocusPolicy(Qt::NoFocus);
    btnsearch->setCursor(Qt::IBeamCursor);
    btnsearch->setText(LocalizedText(Text::searchFavourites));
    searchtextfield = new QLineEdit(this);
    searchtextfield->setObjectName(QStringLiteral("searchtextfield"));
    searchtextfield->setPlaceholderText(LocalizedText(Text::searchFavourites));
    searchtextfield->setAccessibleName(LocalizedText(Text::searchFavourites));
    searchtextfield->setClearButtonEnabled(true);
    // The field's own clear button, named for screen readers.
    for (QToolButton *clear : searchtextfield->findChildren<QToolButton *>()) {
        clear->setAccessibleName(LocalizedText(Text::clearSearch));
        clear->setToolTip(LocalizedText(Text::clearSearch));
    }
    searchtextfield->hide();
    m_createGroupButton = toolButton(QStringLiteral("btncreateGroup"), QStringLiteral("list-add"), QStringLiteral("+"),
                                     LocalizedText(Text::newGroupTitle), this);
    m_sortButton = toolButton(QStringLiteral("btnsort"), QStringLiteral("view-sort-ascending"),
                              QStringLiteral("\u21C5"), LocalizedText(Text::sort), this);
    m_settingsButton = toolButton(QStringLiteral("btnsettings"), QStringLiteral("open-menu"), QStringLiteral("\u22EF"),
                                  LocalizedText(Text::settings), this);
    bar->addWidget(imgviewsearch);
    bar->addWidget(btnsearch);
    bar->addWidget(searchtextfield, 1);
    bar->addStretch();
    bar->addWidget(m_createGroupButton);
    bar->addWidget(m_sortButton);
    bar->addWidget(m_settingsButton);

    connect(btnsearch, &QToolButton::clicked, this, &QuickListToolbar::searchClicked);
    connect(searchtextfield, &QLineEdit::textChanged, this, &QuickListToolbar::searchTextChanged);
    connect(m_createGroupButton, &QToolButton::clicked, this, &QuickListToolbar::createGroupClicked);
    connect(m_sortButton, &QToolButton::clicked, this, [this] { Q_EMIT sortClicked(below(m_sortButton)); });
    connect(m_settingsButton, &QToolButton::clicked, this, [this] { Q_EMIT settingsClicked(below(m_settingsButton)); });
}

bool QuickListToolbar::isSearchFieldShown() const
{
    return searchtextfield->isVisible();
}

void QuickListToolbar::openSearchField()
{
    searchtextfield->show();
    btnsearch->hide();
    imgviewsearch->hide();
    searchtextfield->setFocus(Qt::OtherFocusReason);
}

void QuickListToolbar::closeSearchField()
{
    {
        const QSignalBlocker blocker(searchtextfield);
        searchtextfield->clear();
    }
    searchtextfield->hide();
    btnsearch->show();
    imgviewsearch->show();
}

QList<QWidget *> QuickListToolbar::buttons() const
{
    return {m_createGroupButton, m_sortButton, m_settingsButton};
}
