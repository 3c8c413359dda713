#include "app/FirstGroupBox.h"

#include "app/TrayIconImage.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>
#include <numbers>

namespace {

// One example's time on screen; the last and first sixth of it flip.
constexpr int exampleDurationMs = 2400;
constexpr qreal flipShare = 1.0 / 6;

QToolButton *closeButton(QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(QIcon::fromTheme(QStringLiteral("window-close")));
    if (button->icon().isNull())
        button->setText(QStringLiteral("\u2715"));
    button->setAutoRaise(true);
    button->setAccessibleName(LocalizedText(Text::close));
    button->setToolTip(LocalizedText(Text::close));
    return button;
}

QLabel *titleLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

ExampleNameChip::ExampleNameChip(QWidget *parent)
    : QWidget(parent)
    , m_arr{LocalizedText(Text::sampleGroupWork), LocalizedText(Text::sampleGroupRecipes),
            LocalizedText(Text::sampleGroupTravelPlans), LocalizedText(Text::sampleGroupReadingList),
            LocalizedText(Text::sampleGroupDesignIdeas)}
    , m_colorarr{QColor(0x47, 0xCE, 0x64), QColor(0xFF, 0x95, 0x00), QColor(0x0A, 0x84, 0xFF), QColor(0xFF, 0x37, 0x5F),
                 QColor(0xAF, 0x52, 0xDE)}
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("lblGroupNameExample"));
    setAccessibleName(LocalizedText(Text::forExample));
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(exampleDurationMs);
    m_animation->setLoopCount(-1);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this] { QWidget::update(); });
    connect(m_animation, &QVariantAnimation::currentLoopChanged, this, [this] { update(); });
}

void ExampleNameChip::showAnimation()
{
    m_wanted = true;
    m_currentindex = 0;
    setAccessibleDescription(currentExample());
    if (isVisible())
        m_animation->start();
}

void ExampleNameChip::stopAnimation()
{
    m_wanted = false;
    m_animation->stop();
}

bool ExampleNameChip::isAnimating() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void ExampleNameChip::update()
{
    m_currentindex = (m_currentindex + 1) % int(m_arr.size());
    setAccessibleDescription(currentExample());
    QWidget::update();
}

QSize ExampleNameChip::sizeHint() const
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &example : m_arr)
        widest = std::max(widest, metrics.horizontalAdvance(example));
    return {widest + 40, metrics.height() + 16};
}

void ExampleNameChip::paintEvent(QPaintEvent *)
{
    const qreal t = m_animation->currentValue().toReal();
    // Folds away at the end of an example and unfolds at the start of the next.
    qreal scale = 1;
    if (isAnimating() && t > 1 - flipShare)
        scale = std::cos((t - (1 - flipShare)) / flipShare * std::numbers::pi / 2);
    else if (isAnimating() && t < flipShare)
        scale = std::sin(t / flipShare * std::numbers::pi / 2);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, height() / 2.0);
    painter.scale(1, std::max(scale, 0.02));
    painter.translate(0, -height() / 2.0);
    const QRectF chip = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath path;
    path.addRoundedRect(chip, chip.height() / 2, chip.height() / 2);
    painter.fillPath(path, m_colorarr.value(m_currentindex));
    painter.setPen(Qt::white);
    painter.drawText(chip, Qt::AlignCenter, currentExample());
}

void ExampleNameChip::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_wanted && !isAnimating())
        m_animation->start();
}

void ExampleNameChip::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // No ticking while nothing shows (window closed, box hidden).
    m_animation->stop();
}

FirstGroupBox::FirstGroupBox(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("firstGroupBox"));
    setAttribute(Qt::WA_NoMousePropagation);
    auto *card = new QFrame(this);
    card->setObjectName(QStringLiteral("firstGroupCard"));
    card->setFrameShape(QFrame::StyledPanel);
    card->setAutoFillBackground(true);
    card->setFixedWidth(440);
    m_steps = new QStackedLayout(card);
    m_boxInfoFirstGroup = buildInfoBox();
    m_boxCreateFirstGroup = buildCreateBox();
    m_steps->addWidget(m_boxInfoFirstGroup);
    m_steps->addWidget(m_boxCreateFirstGroup);

    auto *layout = new QGridLayout(this);
    layout->addWidget(card, 0, 0, Qt::AlignCenter);
    hide();
}

QWidget *FirstGroupBox::buildInfoBox()
{
    auto *box = new QWidget;
    box->setObjectName(QStringLiteral("boxInfoFirstGroup"));
    auto *btnclose = closeButton(box);
    connect(btnclose, &QToolButton::clicked, this, &FirstGroupBox::closeBox);
    auto *lblstartedDescription = new QLabel(LocalizedText(Text::onboardingGroupsExplained), box);
    lblstartedDescription->setWordWrap(true);
    lblstartedDescription->setAlignment(Qt::AlignCenter);
    auto *imgview_addFirstGroup = new QLabel(box);
    imgview_addFirstGroup->setObjectName(QStringLiteral("imgview_addFirstGroup"));
    // Without an icon theme the application's own icon fills the place.
    imgview_addFirstGroup->setPixmap(QIcon::fromTheme(QStringLiteral("folder-new"), brimbleIcon()).pixmap(64, 64));
    imgview_addFirstGroup->setAlignment(Qt::AlignCenter);
    auto *btncreateGroup_infobox = new QPushButton(LocalizedText(Text::createGroup), box);
    btncreateGroup_infobox->setObjectName(QStringLiteral("btncreateGroup_infobox"));
    btncreateGroup_infobox->setAutoDefault(true);
    connect(btncreateGroup_infobox, &QPushButton::clicked, this, &FirstGroupBox::btnCreateGroup_info);
    m_btncreateGroup_infobox = btncreateGroup_infobox;

    auto *layout = new QVBoxLayout(box);
    layout->addWidget(btnclose, 0, Qt::AlignRight);
    layout->addWidget(imgview_addFirstGroup);
    layout->addWidget(titleLabel(LocalizedText(Text::onboardingWelcomeTitle), box));
    layout->addWidget(lblstartedDescription);
    layout->addSpacing(8);
    layout->addWidget(btncreateGroup_infobox, 0, Qt::AlignHCenter);
    return box;
}

QWidget *FirstGroupBox::buildCreateBox()
{
    auto *box = new QWidget;
    box->setObjectName(QStringLiteral("boxCreateFirstGroup"));
    auto *btnclose = closeButton(box);
    connect(btnclose, &QToolButton::clicked, this, &FirstGroupBox::closeBox);
    auto *lblexample = new QLabel(LocalizedText(Text::forExample), box);
    m_lblGroupNameExample = new ExampleNameChip(box);
    m_txtfieldGroupname = new QLineEdit(box);
    m_txtfieldGroupname->setObjectName(QStringLiteral("txtfieldGroupname"));
    m_txtfieldGroupname->setPlaceholderText(LocalizedText(Text::firstGroupNamePlaceholder));
    m_txtfieldGroupname->setAccessibleName(LocalizedText(Text::firstGroupNamePlaceholder));
    connect(m_txtfieldGroupname, &QLineEdit::returnPressed, this, &FirstGroupBox::createGroupClicked);
    auto *btncreateGroupSecondbox = new QPushButton(LocalizedText(Text::createGroup), box);
    btncreateGroupSecondbox->setObjectName(QStringLiteral("btncreateGroupSecondbox"));
    connect(btncreateGroupSecondbox, &QPushButton::clicked, this, &FirstGroupBox::createGroupClicked);

    auto *exampleRow = new QHBoxLayout;
    exampleRow->addStretch(1);
    exampleRow->addWidget(lblexample);
    exampleRow->addWidget(m_lblGroupNameExample);
    exampleRow->addStretch(1);

    auto *layout = new QVBoxLayout(box);
    layout->addWidget(btnclose, 0, Qt::AlignRight);
    layout->addWidget(titleLabel(LocalizedText(Text::nameFirstGroupTitle), box));
    layout->addLayout(exampleRow);
    layout->addWidget(m_txtfieldGroupname);
    layout->addSpacing(8);
    layout->addWidget(btncreateGroupSecondbox, 0, Qt::AlignHCenter);
    return box;
}

void FirstGroupBox::showInfoBox()
{
    m_lblGroupNameExample->stopAnimation();
    m_steps->setCurrentWidget(m_boxInfoFirstGroup);
    raise();
    show();
    // The keys go to the box, not to the page it covers.
    m_btncreateGroup_infobox->setFocus();
}

void FirstGroupBox::btnCreateGroup_info()
{
    m_txtfieldGroupname->clear();
    m_steps->setCurrentWidget(m_boxCreateFirstGroup);
    m_lblGroupNameExample->showAnimation();
    m_txtfieldGroupname->setFocus();
    m_txtfieldGroupname->selectAll();
}

void FirstGroupBox::closeBox()
{
    m_lblGroupNameExample->stopAnimation();
    hide();
}

bool FirstGroupBox::isCreationStep() const
{
    return m_steps->currentWidget() == m_boxCreateFirstGroup;
}

QString FirstGroupBox::groupName() const
{
    return m_txtfieldGroupname->text();
}

void FirstGroupBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeBox();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FirstGroupBox::paintEvent(QPaintEvent *)
{
    // A light veil over the page below the box.
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 60));
}
