#pragma once

#include <QColor>
#include <QFrame>

class QColorDialog;
class QPushButton;

// Qt's colour picker inside a popup window of its own. A separate dialog
// window would close the tray popup that the colour box lives in (Qt
// closes popups when another window takes the input); a popup opened from
// a popup stacks on it instead.
class ColorChooserPopup final : public QFrame
{
    Q_OBJECT

public:
    explicit ColorChooserPopup(QWidget *parent = nullptr);

    // Shows the picker on color, below anchor (above it when the screen
    // ends first).
    void popUp(const QColor &color, QWidget *anchor);

    QColor currentColor() const;
    void setCurrentColor(const QColor &color);

public Q_SLOTS:
    // Takes the colour shown and closes.
    void accept();

Q_SIGNALS:
    void colorSelected(const QColor &color);

private:
    QColorDialog *m_picker = nullptr;
    QPushButton *m_choose = nullptr;
};
