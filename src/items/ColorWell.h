#pragma once

#include <QColor>
#include <QPushButton>

class ColorChooserPopup;

// A swatch button showing a colour; a click opens the colour picker on it.
// The colour stays as last chosen for as long as the well exists.
class ColorWell final : public QPushButton
{
    Q_OBJECT

public:
    explicit ColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // The colour picker, once the well was clicked.
    ColorChooserPopup *chooser() const { return m_chooser; }

Q_SIGNALS:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void openChooser();

    QColor m_color;
    ColorChooserPopup *m_chooser = nullptr;
};
