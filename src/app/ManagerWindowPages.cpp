#include "app/ManagerWindowPages.h"

#include "app/FirstGroupBox.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"
#include "widgets/DimmingLayer.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr TextKey pageTitleKeys[ManagerWindowPages::pageCount] = {Text::manageFavourites, Text::preferences,
                                                                  Text::about, Text::moreApps};
constexpr const char *pageButtonNames[ManagerWindowPages::pageCount] = {"btnmanageshortcuts", "btnpreferences",
                                                                        "btnaboutus", "btnUtilityKit"};

// Selected: a 1-pixel border in the selected colour; the others flat. Every
// button keeps a border of the same width (transparent when not selected), so
// selecting one never changes its size: a button the layout had no chance to
// grow would cut its text (the accent of "À propos").
constexpr auto buttonStyle = "QPushButton { border: 1px solid transparent; border-radius: 6px; padding: 6px 14px; }"
                             "QPushButton:hover { background: palette(midlight); }"
                             "QPushButton:pressed { background: palette(mid); }"
                             "QPushButton[selected=\"true\"] { border: 1px solid palette(highlight);"
                             " background: palette(base); }";

} // namespace

ManagerWindowPages::ManagerWindowPages(const Services &services, PageFactory pages, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_pageFactory(std::move(pages))
{
    setObjectName(QStringLiteral("containerVc"));
    auto *lblapptitle = new QLabel(LocalizedText(Text::appName), this);
    QFont titleFont = lblapptitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblapptitle->setFont(titleFont);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(6);
    buttonRow->addWidget(lblapptitle);
    buttonRow->addStretch(1);
    for (int page = 0; page < pageCount; ++page) {
        auto *button = new QPushButton(LocalizedText(pageTitleKeys[page]), this);
        button->setObjectName(QLatin1String(pageButtonNames[page]));
        button->setStyleSheet(QLatin1String(buttonStyle));
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, [this, page] { showPage(page); });
        auto *marker = new QFrame(this);
        marker->setFixedHeight(3);
        marker->setAutoFillBackground(true);
        marker->setBackgroundRole(QPalette::Highlight);
        marker->hide();
        auto *column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(button);
        column->addWidget(marker);
        buttonRow->addLayout(column);
        m_buttons[page] = button;
        m_markers[page] = marker;
    }

    m_customview = new QStackedWidget(this);
    m_customview->setObjectName(QStringLiteral("customview"));
    m_customview->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *top = new QWidget(this);
    top->setLayout(buttonRow);
    buttonRow->setContentsMargins(16, 10, 16, 6);
    layout->addWidget(top);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    layout->addWidget(m_customview, 1);

    m_firstGroupBox = new FirstGroupBox(this);
    connect(m_firstGroupBox, &FirstGroupBox::createGroupClicked, this, &ManagerWindowPages::btnCreateGroup);
    // A first group made meanwhile in the popup answers the box's question;
    // left up, it would go on asking and keep the window from closing.
    connect(&m_services.viewLinks, &ViewLinks::managerGroupsReloadRequested, this, [this] {
        if (isFirstGroupBoxShowing() && !hasNoGroup())
            m_firstGroupBox->closeBox();
    });
    m_blackLayer = new DimmingLayer(this);

    // Pages that this build has nothing for get no button (page 3 promotes
    // nothing here).
    for (int page = 0; page < pageCount; ++page) {
        if (page != managerPage && !pageWidget(page)) {
            m_buttons[page]->hide();
            m_markers[page]->hide();
        }
    }
}

ManagerWindowPages::~ManagerWindowPages() = default;

QWidget *ManagerWindowPages::pageWidget(int page)
{
    if (!m_pages[page] && m_pageFactory) {
        m_pages[page] = m_pageFactory(page, *m_blackLayer);
        if (m_pages[page])
            m_customview->addWidget(m_pages[page]);
    }
    return m_pages[page];
}

QWidget *ManagerWindowPages::currentview() const
{
    return m_customview->currentWidget();
}

bool ManagerWindowPages::isMarkerVisible(int page) const
{
    return m_markers.at(page)->isVisibleTo(this);
}

bool ManagerWindowPages::hasNoGroup() const
{
    return m_services.favorites.groups().isEmpty();
}

void ManagerWindowPages::showPage(int page)
{
    if (page < 0 || page >= pageCount)
        return;
    QWidget *content = pageWidget(page);
    if (!content && page != managerPage)
        return;

    // The box belongs to the groups page: elsewhere it steps aside, and it
    // comes back on that page for as long as no group exists.
    if (page == managerPage && hasNoGroup()) {
        if (!isFirstGroupBoxShowing()) {
            placeFirstGroupBox();
            m_firstGroupBox->showInfoBox();
        }
    } else if (isFirstGroupBoxShowing()) {
        m_firstGroupBox->closeBox();
    }

    m_containerPage = page;
    for (int other = 0; other < pageCount; ++other) {
        const bool selected = other == page;
        m_buttons[other]->setProperty("selected", selected);
        m_buttons[other]->style()->unpolish(m_buttons[other]);
        m_buttons[other]->style()->polish(m_buttons[other]);
        m_buttons[other]->updateGeometry();
        m_markers[other]->setVisible(selected && !m_buttons[other]->isHidden());
    }
    if (content)
        m_customview->setCurrentWidget(content);
    // The groups page takes the keys (its groups list), so that Delete, F2
    // and Return act on the selected group at once.
    if (page == managerPage && content && !isFirstGroupBoxShowing())
        content->setFocus(Qt::OtherFocusReason);
    m_blackLayer->raise();
}

bool ManagerWindowPages::isFirstGroupBoxShowing() const
{
    return m_firstGroupBox->isVisibleTo(this);
}

void ManagerWindowPages::btnCreateGroup()
{
    const QString name = m_firstGroupBox->groupName();
    if (name.trimmed().isEmpty()) {
        if (m_alert)
            return;
        auto *alert = new QMessageBox(QMessageBox::Information, LocalizedText(Text::appName),
                                      LocalizedText(Text::groupNameMissing), QMessageBox::NoButton, window());
        alert->addButton(LocalizedText(Text::ok), QMessageBox::AcceptRole);
        alert->setWindowModality(Qt::WindowModal);
        alert->setAttribute(Qt::WA_DeleteOnClose);
        m_blackLayer->hold();
        connect(alert, &QMessageBox::finished, this, [this] {
            m_blackLayer->release();
            m_alert = nullptr;
            m_firstGroupBox->txtfieldGroupname()->setFocus();
        });
        m_alert = alert;
        alert->open();
        return;
    }

    // A group of that name made meanwhile from the popup (the title taken)
    // is the first group.
    m_services.favorites.createGroup(name, &m_services.sortSettings);
    m_firstGroupBox->closeBox();
    m_services.viewLinks.requestManagerGroupsReload();
    m_services.viewLinks.requestQuickListReload();
}

QWidget *ManagerWindowPages::alert() const
{
    return m_alert;
}

bool ManagerWindowPages::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_customview && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeFirstGroupBox();
    return QWidget::eventFilter(watched, event);
}

void ManagerWindowPages::placeFirstGroupBox()
{
    // Over the page area only, below the page buttons.
    if (m_firstGroupBox)
        m_firstGroupBox->setGeometry(m_customview->geometry());
}

bool ManagerWindowPages::focusNextPrevChild(bool next)
{
    if (!isFirstGroupBoxShowing())
        return QWidget::focusNextPrevChild(next);
    QWidget *current = focusWidget();
    if (!current || !isAncestorOf(current))
        current = m_firstGroupBox;
    // Walk the window's focus chain from the current widget and keep to the
    // box's step on screen and the page buttons, wrapping around.
    QWidget *candidate = current;
    for (int guard = 0; guard < 1000; ++guard) {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (!candidate || candidate == current)
            break;
        if (isAncestorOf(candidate) && !m_customview->isAncestorOf(candidate) && candidate->isVisibleTo(this)
            && candidate->isEnabled() && (candidate->focusPolicy() & Qt::TabFocus)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

void ManagerWindowPages::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isFirstGroupBoxShowing()) {
        m_firstGroupBox->closeBox();
        return;
    }
    QWidget::keyPressEvent(event);
}
