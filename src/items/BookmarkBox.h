#pragma once

#include "items/InlineItemBox.h"

// The popup's inline box that adds a web bookmark to a group.
class BookmarkBox final : public InlineItemBox
{
    Q_OBJECT

public:
    BookmarkBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent = nullptr);

protected:
    void add() override;
    void clearField() override;

private:
    QLineEdit *txtfieldURL = nullptr;
};
