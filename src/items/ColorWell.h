#pragma once

#include <QColor>
#include <QColorDialog>
#include <QPointer>
#include <QPushButton>


// A swatch button showing a colour; a click opens the colour dialog on it.
// The colour stays as last chosen for as long as the well exists.
class ColorWell final : public QPushButton
{
    Q_OBJECT

public:
    explicit ColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // The open colour dialog, or null.
    QColorDialog *dialog() const { return m_dialog; }

Q_SIGNALS:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void openDialog();

    QColor m_color;
    QPointer<QColorDialog> m_dialog;
};
