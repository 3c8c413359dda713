#pragma once

#include "items/InlineItemBox.h"

class ColorWell;

// The popup's inline box that adds a named colour to a group. The colour
// well keeps the colour picked last between openings.
class ColorBox final : public InlineItemBox
{
    Q_OBJECT

public:
    ColorBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent = nullptr);

protected:
    void add() override;

private:
    ColorWell *colorWell = nullptr;
};
