#pragma once

#include "items/InlineItemBox.h"

class QPlainTextEdit;

// The popup's inline box that adds a text note to a group.
class NoteBox final : public InlineItemBox
{
    Q_OBJECT

public:
    NoteBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent = nullptr);

protected:
    void add() override;
    void clearField() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPlainTextEdit *txtview_textfile = nullptr;
};
