#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QStackedLayout;
class QVariantAnimation;

// The example group name of the creation box: a colour chip whose name
// flips to the next example every couple of seconds. The animation runs
// only while the chip is on screen.
class ExampleNameChip final : public QWidget
{
    Q_OBJECT

public:
    explicit ExampleNameChip(QWidget *parent = nullptr);

    void showAnimation();
    void stopAnimation();
    bool isAnimating() const;
    int currentindex() const { return m_currentindex; }
    QString currentExample() const { return m_arr.value(m_currentindex); }
    // The next example and its colour.
    void update();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QStringList m_arr;
    QList<QColor> m_colorarr;
    int m_currentindex = 0;
    bool m_wanted = false;
    QVariantAnimation *m_animation = nullptr;
};

// The two-step box that leads a user without any group to the first one:
// an introduction, then a name field under the animated examples. It only
// draws and forwards; the container places it over the groups page and
// creates the group.
class FirstGroupBox final : public QWidget
{
    Q_OBJECT

public:
    explicit FirstGroupBox(QWidget *parent = nullptr);

    // Shows the introduction (boxInfoFirstGroup).
    void showInfoBox();
    // Steps to the creation box (boxCreateFirstGroup): empty name field with
    // the focus, examples flipping.
    void btnCreateGroup_info();
    // Hides the box and stops the animation.
    void closeBox();

    bool isCreationStep() const;
    QString groupName() const;
    QLineEdit *txtfieldGroupname() const { return m_txtfieldGroupname; }
    ExampleNameChip *lblGroupNameExample() const { return m_lblGroupNameExample; }

Q_SIGNALS:
    void createGroupClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    // Escape closes the box, as its close button does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildInfoBox();
    QWidget *buildCreateBox();

    QStackedLayout *m_steps = nullptr;
    QWidget *m_boxInfoFirstGroup = nullptr;
    QWidget *m_boxCreateFirstGroup = nullptr;
    QWidget *m_btncreateGroup_infobox = nullptr;
    QLineEdit *m_txtfieldGroupname = nullptr;
    ExampleNameChip *m_lblGroupNameExample = nullptr;
};
