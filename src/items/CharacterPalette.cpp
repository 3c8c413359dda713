#include "items/CharacterPalette.h"

#include "widgets/PopupGeometry.h"

#include "items/EmojiCatalog.h"
#include "items/EmojiListModel.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QApplication>
#include <QBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace {
constexpr int cellSize = 36;
constexpr int columns = 10;
constexpr int visibleRows = 7;
constexpr auto recentGlyph = "\U0001F552"; // clock face three o'clock

// Draws each cell's character centred and whole: the default delegate
// elides glyphs wider than the cell to "...".
class CellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        if (option.state & (QStyle::State_Selected | QStyle::State_MouseOver)) {
            QColor fill = option.palette.color(QPalette::Highlight);
            fill.setAlphaF(option.state & QStyle::State_Selected ? 0.35 : 0.15);
            painter->setPen(Qt::NoPen);
            painter->setBrush(fill);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->drawRoundedRect(QRectF(option.rect).adjusted(1, 1, -1, -1), 4, 4);
        }
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(option.rect, Qt::AlignCenter | Qt::TextDontClip, index.data().toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return QSize(cellSize, cellSize);
    }
};

// The emoji data names its groups in English; the palette shows them in the
// interface's language.
QString groupTitle(const QString &name)
{
    static constexpr struct
    {
        const char *english;
        TextKey key;
    } keys[] = {
        {"Smileys & Emotion", Text::emojiSmileys},
        {"People & Body", Text::emojiPeople},
        {"Animals & Nature", Text::emojiAnimals},
        {"Food & Drink", Text::emojiFood},
        {"Travel & Places", Text::emojiTravel},
        {"Activities", Text::emojiActivities},
        {"Objects", Text::emojiObjects},
        {"Symbols", Text::emojiSymbols},
        {"Flags", Text::emojiFlags},
    };
    for (const auto &[english, key] : keys) {
        if (name == QLatin1String(english)) {
            const QString title = LocalizedText(key);
            return title.isEmpty() ? name : title;
        }
    }
    return name;
}

QToolButton *groupButton(const QString &glyph, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(glyph);
    button->setFont(CharacterPalette::emojiFont(button->font()));
    button->setToolTip(toolTip);
    // Read out as the group it jumps to, not as the emoji drawn on it.
    button->setAccessibleName(toolTip);
    button->setAutoRaise(true);
    // Reached with Tab, but a click leaves the focus where the typing goes.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
} // namespace

CharacterPalette::CharacterPalette(PreferencesStore &preferences, QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_recent(preferences)
{
    setObjectName(QStringLiteral("characterPalette"));
    setFrameShape(QFrame::StyledPanel);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchCharacters"));
    m_search->setPlaceholderText(LocalizedText(Text::searchEmoji));
    m_search->setAccessibleName(LocalizedText(Text::searchEmoji));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);

    auto *groups = new QHBoxLayout;
    groups->setSpacing(0);
    QToolButton *recent = groupButton(QString::fromUtf8(recentGlyph), LocalizedText(Text::recentlyUsed), this);
    connect(recent, &QToolButton::clicked, this, [this] {
        m_search->clear();
        m_list->scrollToTop();
    });
    groups->addWidget(recent);
    for (int group = 0; group < EmojiCatalog::groupNames().size(); ++group) {
        const auto first = EmojiCatalog::firstOfGroup(group);
        if (!first)
            continue;
        QToolButton *button = groupButton(EmojiCatalog::all().at(*first).text,
                                          groupTitle(EmojiCatalog::groupNames().at(group)), this);
        connect(button, &QToolButton::clicked, this, [this, group] { scrollToGroup(group); });
        groups->addWidget(button);
    }
    groups->addStretch();

    m_model = new EmojiListModel(this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("characterList"));
    m_list->setModel(m_model);
    m_list->setViewMode(QListView::IconMode);
    m_list->setFlow(QListView::LeftToRight);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setUniformItemSizes(true);
    m_list->setGridSize(QSize(cellSize, cellSize));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMouseTracking(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFont(emojiFont(m_list->font(), 1.5));
    m_list->setItemDelegate(new CellDelegate(m_list));
    m_list->installEventFilter(this);
    connect(m_list, &QListView::clicked, this, &CharacterPalette::chooseIndex);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(m_search);
    layout->addLayout(groups);
    layout->addWidget(m_list);

    connect(m_search, &QLineEdit::textChanged, this, &CharacterPalette::showEntries);
    resize(columns * cellSize + 12 + m_list->verticalScrollBar()->sizeHint().width(), visibleRows * cellSize + 80);
}

CharacterPalette::~CharacterPalette() = default;

void CharacterPalette::popUp(QWidget *anchor, QWidget *target)
{
    m_target = target ? target : QApplication::focusWidget();
    m_search->clear();
    showEntries();
    if (anchor)
        PopupGeometry::moveTo(this, QRect(anchor->mapToGlobal(QPoint(0, 0)), anchor->size()));
    show();
    m_search->setFocus();
}

void CharacterPalette::showEntries()
{
    const QString query = m_search->text();
    QList<int> recent;
    for (const QString &text : m_recent.characters()) {
        if (const auto index = EmojiCatalog::indexOf(text))
            recent.append(*index);
    }
    QList<int> entries;
    if (query.trimmed().isEmpty()) {
        entries = recent + EmojiCatalog::browsable();
    } else {
        const QList<int> found = EmojiCatalog::search(query);
        for (int index : std::as_const(recent)) {
            if (found.contains(index))
                entries.append(index);
        }
        for (int index : found) {
            if (!recent.contains(index))
                entries.append(index);
        }
    }
    m_model->setEntries(entries);
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0));
    m_list->scrollToTop();
}

void CharacterPalette::scrollToGroup(int group)
{
    m_search->clear();
    const auto first = EmojiCatalog::firstOfGroup(group);
    if (!first)
        return;
    // Skip the recently used cells at the top: the group's own place is wanted.
    const int recentCount = int(m_model->entries().size() - EmojiCatalog::browsable().size());
    const int row = m_model->rowOf(*first, std::max(0, recentCount));
    if (row >= 0)
        m_list->scrollTo(m_model->index(row), QAbstractItemView::PositionAtTop);
}

void CharacterPalette::chooseIndex(const QModelIndex &index)
{
    if (index.isValid())
        choose(index.data(int(EmojiListModel::Role::text)).toString());
}

void CharacterPalette::choose(const QString &text)
{
    if (text.isEmpty())
        return;
    m_recent.use(text);
    hide();
    if (QWidget *target = m_target.data()) {
        target->activateWindow();
        target->setFocus(Qt::PopupFocusReason);
        typeInto(target, text);
    }
    Q_EMIT characterChosen(text);
}

QFont CharacterPalette::emojiFont(QFont base, qreal scale)
{
    // Text fonts such as DejaVu hold some emoji too, in black and white, and
    // would be picked before the colour font.
    base.setFamilies({QStringLiteral("Noto Color Emoji"), base.family()});
    base.setPointSizeF(base.pointSizeF() * scale);
    return base;
}

void CharacterPalette::typeInto(QWidget *widget, const QString &text)
{
    if (!widget || text.isEmpty())
        return;
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

bool CharacterPalette::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_search) {
        if (enter) {
            chooseIndex(m_list->currentIndex().isValid() ? m_list->currentIndex() : m_model->index(0));
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) {
            m_list->setFocus();
            return true;
        }
    } else if (watched == m_list && enter) {
        chooseIndex(m_list->currentIndex());
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
