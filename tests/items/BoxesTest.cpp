#include "ItemsFixture.h"

#include "items/BookmarkBox.h"
#include "items/CharacterPalette.h"
#include "items/ColorBox.h"
#include "items/NoteBox.h"
#include "store/TextKeys.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class BoxesTest : public ItemsFixture
{
protected:
    template<typename T>
    T *child(QWidget &box, const char *name) const
    {
        T *found = box.findChild<T *>(QLatin1String(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    CharacterPalette palette{preferences};
};

TEST_F(BoxesTest, BookmarkBoxRefusesEmptyFieldsThenAddsAndCloses)
{
    BookmarkBox box(adder, palette);
    box.reset("Work");
    box.show();
    QSignalSpy added(&box, &BookmarkBox::itemAdded);
    QSignalSpy closed(&box, &BookmarkBox::closeRequested);
    auto *title = child<QLineEdit>(box, "txtFieldTitle_webbookmark");
    auto *address = child<QLineEdit>(box, "txtfieldURL");
    auto *message = child<QLabel>(box, "lblalertBookmark");

    QTest::mouseClick(child<QPushButton>(box, "btnadd_boxaddWebBookmark"), Qt::LeftButton);
    EXPECT_EQ(message->text(), LocalizedText(Text::titleMissing));
    EXPECT_EQ(added.size() + closed.size(), 0);
    title->setText("Docs");

    // Return in the title moves on to the address, and adds from there.
    box.activateWindow();
    title->setFocus();
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(box.focusWidget(), address);
    EXPECT_EQ(added.size(), 0);
    address->setText("docs.example.com");
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(favorites.items("Work").value(0).target(), QStringLiteral("docs.example.com"));
    EXPECT_TRUE(title->text().isEmpty() && address->text().isEmpty());

    // Cancel keeps what was typed until the box is readied again.
    title->setText("Half typed");
    QTest::mouseClick(child<QPushButton>(box, "btncancel_addWebBookmark"), Qt::LeftButton);
    EXPECT_EQ(closed.size(), 2);
    EXPECT_EQ(title->text(), QStringLiteral("Half typed"));
    box.reset("Home");
    EXPECT_TRUE(title->text().isEmpty() && message->text().isEmpty());
}

TEST_F(BoxesTest, NoteBoxTakesTabsAndSavesTheTextAsTyped)
{
    NoteBox box(adder, palette);
    box.reset("Home");
    box.show();
    box.activateWindow();
    QSignalSpy closed(&box, &NoteBox::closeRequested);
    auto *title = child<QLineEdit>(box, "txtFieldTitle_textfile");
    auto *text = child<QPlainTextEdit>(box, "txtview_textfile");
    title->setText("Shopping");
    QTest::mouseClick(child<QPushButton>(box, "btnadd_boxTextNote"), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>(box, "lblalerttextnote")->text(), LocalizedText(Text::noteTextMissing));

    // Tab goes from the title on to the note, types a tab there, and
    // Ctrl+Tab leaves it.
    title->setFocus();
    QTest::keyClick(title, Qt::Key_Tab);
    ASSERT_TRUE(box.focusWidget() == text);
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_TRUE(box.focusWidget() == text);
    QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(box.focusWidget() == text);
    text->setFocus();

    // Blank lines, non-breaking spaces, a line separator and a tab are kept character for character.
    const QString typed = QStringLiteral("\tmilk\n\ntea ☕ Prix\u00A0: 3\u202F€\u2028ligne\tdeux\nfin ?");
    text->insertPlainText(typed.mid(1));
    QTest::keyClick(text, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(contentOf(favorites.items("Home").value(0).target()), typed.toUtf8());
    EXPECT_EQ(storedTitles("Home"), QStringList{"Shopping"});
    EXPECT_TRUE(text->toPlainText().isEmpty());
}

TEST_F(BoxesTest, EachBoxNamesTheGroupItAddsTo)
{
    const auto check = [this](auto &&box) {
        box.reset("Holiday 2025");
        auto *line = child<QLabel>(box, "lbltargetGroup");
        ASSERT_TRUE(line);
        EXPECT_EQ(line->text(), LocalizedText(Text::inGroup).arg("Holiday 2025"));
        // Screen readers find every field and button by name.
        for (QLineEdit *field : box.template findChildren<QLineEdit *>())
            EXPECT_FALSE(field->accessibleName().isEmpty()) << field->objectName().toStdString();
        for (QAbstractButton *button : box.template findChildren<QAbstractButton *>())
            EXPECT_FALSE(button->accessibleName().isEmpty() && button->text().isEmpty())
                << button->objectName().toStdString() << " in " << box.objectName().toStdString();
    };
    check(BookmarkBox(adder, palette));
    check(NoteBox(adder, palette));
    check(ColorBox(adder, palette));
}

TEST_F(BoxesTest, TheEmojiButtonTypesIntoTheFieldThatHadTheFocus)
{
    NoteBox box(adder, palette);
    box.reset("Work");
    box.show();
    box.activateWindow();
    auto *text = child<QPlainTextEdit>(box, "txtview_textfile");
    text->setFocus();
    text->setPlainText("ab");
    text->moveCursor(QTextCursor::Start);
    text->moveCursor(QTextCursor::NextCharacter);
    QTest::mouseClick(child<QWidget>(box, "btnemojiTextfile"), Qt::LeftButton);
    EXPECT_TRUE(palette.isVisible());
    palette.choose(QStringLiteral("😀"));
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(text->toPlainText(), QStringLiteral("a😀b"));
}

} // namespace
