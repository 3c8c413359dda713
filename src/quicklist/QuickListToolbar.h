#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

// The popup list page's toolbar: the search (a magnifier and a button until
// the search field opens), and the buttons that create a group and open the
// sort and the settings menus. The page decides what they do.
class QuickListToolbar final : public QWidget
{
    Q_OBJECT

public:
    explicit QuickListToolbar(QWidget *parent = nullptr);

    QLineEdit *searchField() const { return searchtextfield; }
    bool isSearchFieldShown() const;
    // Shows the search field in place of the button and gives it the keyboard.
    void openSearchField();
    // Empties the search field, without a change of its text reported, and
    // shows the button again.
    void closeSearchField();

    QToolButton *createGroupButton() const { return m_createGroupButton; }
    // The buttons Tab goes round after the search field, in order.
    QList<QWidget *> buttons() const;

Q_SIGNALS:
    void searchClicked();
    void searchTextChanged(const QString &text);
    void createGroupClicked();
    // The menus open below the button, at at (global coordinates).
    void sortClicked(const QPoint &at);
    void settingsClicked(const QPoint &at);

private:
    QToolButton *btnsearch = nullptr;
    QLabel *imgviewsearch = nullptr;
    QLineEdit *searchtextfield = nullptr;
    QToolButton *m_createGroupButton = nullptr;
    QToolButton *m_sortButton = nullptr;
    QToolButton *m_settingsButton = nullptr;
};
