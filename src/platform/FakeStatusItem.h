#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QString>

// A tray for tests: present or not, with or without a geometry; clicks and
// a tray appearing late are played by hand.
class FakeStatusItem final : public StatusItem
{
public:
    bool isAvailable() const override { return available; }
    QRect geometry() const override { return available ? iconGeometry : QRect(); }
    void show(const QIcon &, const QString &text, QMenu *) override
    {
        shown = true;
        toolTip = text;
    }

    void click() const { triggered(); }
    void appear()
    {
        available = true;
        appeared();
    }

    bool available = true;
    QRect iconGeometry;
    bool shown = false;
    QString toolTip;
};
