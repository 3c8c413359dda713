#include "quicklist/AddGroupBox.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddGroupBox::AddGroupBox(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("boxAddGroup"));
    setAutoFillBackground(true);
    setFrameShape(QFrame::NoFrame);

    auto *title = new QLabel(LocalizedText(Text::newGroupTitle), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    title->setFont(bold);

    m_txtfieldGroupname = new QLineEdit(this);
    m_txtfieldGroupname->setObjectName(QStringLiteral("txtfieldGroupname"));
    m_txtfieldGroupname->setPlaceholderText(LocalizedText(Text::newGroupNamePlaceholder));

    m_lblgroupalreadyexist = new QLabel(this);
    m_lblgroupalreadyexist->setObjectName(QStringLiteral("lblgroupalreadyexist"));
    m_lblgroupalreadyexist->setWordWrap(true);
    m_lblgroupalreadyexist->setStyleSheet(QStringLiteral("color: #D70015;"));
    m_lblgroupalreadyexist->hide();

    m_btncancel_boxaddGroup = new QPushButton(LocalizedText(Text::cancelNewGroup), this);
    m_btncancel_boxaddGroup->setObjectName(QStringLiteral("btncancel_boxaddGroup"));
    m_btnadd_boxaddgroup = new QPushButton(LocalizedText(Text::create), this);
    m_btnadd_boxaddgroup->setObjectName(QStringLiteral("btnadd_boxaddgroup"));
    m_btnadd_boxaddgroup->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btncancel_boxaddGroup);
    buttons->addWidget(m_btnadd_boxaddgroup);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 24, 20, 20);
    layout->setSpacing(10);
    layout->addWidget(title);
    layout->addWidget(m_txtfieldGroupname);
    layout->addWidget(m_lblgroupalreadyexist);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(m_btnadd_boxaddgroup, &QPushButton::clicked, this, &AddGroupBox::addClicked);
    connect(m_txtfieldGroupname, &QLineEdit::returnPressed, this, &AddGroupBox::addClicked);
    connect(m_btncancel_boxaddGroup, &QPushButton::clicked, this, &AddGroupBox::cancelClicked);
}

QString AddGroupBox::name() const
{
    return m_txtfieldGroupname->text();
}

void AddGroupBox::clear()
{
    clearMessage();
    m_txtfieldGroupname->clear();
}

void AddGroupBox::showMessage(const QString &text)
{
    m_lblgroupalreadyexist->setText(text);
    m_lblgroupalreadyexist->show();
}

void AddGroupBox::clearMessage()
{
    m_lblgroupalreadyexist->clear();
    m_lblgroupalreadyexist->hide();
}

QString AddGroupBox::message() const
{
    return m_lblgroupalreadyexist->isVisibleTo(this) ? m_lblgroupalreadyexist->text() : QString();
}

void AddGroupBox::focusName()
{
    m_txtfieldGroupname->setFocus(Qt::OtherFocusReason);
}

void AddGroupBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT cancelClicked();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}
