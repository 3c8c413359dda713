#pragma once

#include "items/RecentCharacters.h"

#include <QFrame>
#include <QPointer>

class EmojiListModel;
class PreferencesStore;
class QLineEdit;
class QListView;
class QModelIndex;

// A small emoji picker of our own that types the chosen character into the
// field that had the keyboard focus (the desktop's pickers only copy to the
// clipboard). Searchable by name; recently used characters come first.
class CharacterPalette final : public QFrame
{
    Q_OBJECT

public:
    explicit CharacterPalette(PreferencesStore &preferences, QWidget *parent = nullptr);
    ~CharacterPalette() override;

    // Shows the palette below anchor. The character chosen goes to target,
    // or, when target is null, to the widget that has the focus now.
    void popUp(QWidget *anchor, QWidget *target = nullptr);

    // Types text into the target and remembers it as recently used.
    void choose(const QString &text);

    // base with the colour emoji font put first, scaled.
    static QFont emojiFont(QFont base, qreal scale = 1.0);

    // Types text into widget at its cursor, as an input method would.
    static void typeInto(QWidget *widget, const QString &text);

Q_SIGNALS:
    void characterChosen(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showEntries();
    void chooseIndex(const QModelIndex &index);
    void scrollToGroup(int group);

    RecentCharacters m_recent;
    QPointer<QWidget> m_target;
    QLineEdit *m_search = nullptr;
    QListView *m_list = nullptr;
    EmojiListModel *m_model = nullptr;
};
