#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

class QToolButton;

// The colour-tag picker: a small popup of seven colour swatches. One exists
// per process; the manager window and the quick-access popup both open it,
// each for one of its groups, and each handles the picks made for it.
// Known elsewhere as selectTagvc.
class ColorTagPicker final : public QWidget
{
    Q_OBJECT

public:
    explicit ColorTagPicker(QWidget *parent = nullptr);

    // The seven colours offered, in swatch order.
    static QList<QColor> swatchColors();

    // Shows the picker at the right of anchor (global coordinates), for the
    // manager window (true) or the quick-access popup (false). The keyboard
    // starts on the swatch of current when one offers it, else on the first;
    // when the picker closes, the keyboard goes back where it was.
    void openBeside(const QRect &anchor, bool viewOpenFromMainwindow, const QColor &current = {});

    bool viewOpenFromMainwindow() const { return m_viewOpenFromMainwindow; }
    void setViewOpenFromMainwindow(bool fromMainWindow) { m_viewOpenFromMainwindow = fromMainWindow; }
    // The colour of the swatch clicked last.
    QColor selectedColor() const { return m_selectedColor; }

    // Picks swatch index (0 to 6): remembers its colour, tells whoever
    // opened the picker, and closes it.
    void pickSwatch(int index);

public Q_SLOTS:
    void btnfirstClicked() { pickSwatch(0); }
    void btnsecondClicked() { pickSwatch(1); }
    void btnthirdclicked() { pickSwatch(2); }
    void btnfourthclicked() { pickSwatch(3); }
    void btnfifthClicked() { pickSwatch(4); }
    void btnsixthClicked() { pickSwatch(5); }
    void btnseventhclciked() { pickSwatch(6); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

Q_SIGNALS:
    // A swatch was picked; viewOpenFromMainwindow tells for whom.
    void colorPicked(const QColor &color, bool viewOpenFromMainwindow);

private:
    QList<QToolButton *> m_swatches;
    QColor m_selectedColor;
    bool m_viewOpenFromMainwindow = false;
    QPointer<QWidget> m_returnFocus;
};
