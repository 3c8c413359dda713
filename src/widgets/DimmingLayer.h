#pragma once

#include <QWidget>

// A translucent layer over a widget (the manager window's pages) while one of
// its alerts or panels is up. Holds nest: the layer shows from the first
// hold() to the last matching release(), and always covers the whole widget.
class DimmingLayer final : public QWidget
{
    Q_OBJECT

public:
    explicit DimmingLayer(QWidget *covered);

    void hold();
    void release();
    bool isHeld() const { return m_holds > 0; }

    // Keeps the layer up for the lifetime of a scope, e.g. while an alert runs.
    class Scope final
    {
    public:
        explicit Scope(DimmingLayer &layer)
            : m_layer(layer)
        {
            m_layer.hold();
        }
        ~Scope() { m_layer.release(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        DimmingLayer &m_layer;
    };

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_holds = 0;
};
