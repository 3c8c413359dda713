#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QPushButton;

// The inline box that names a new group (boxAddGroup): a name field, a
// message line for refusals, and confirm and cancel buttons. It only draws
// and forwards; the popup decides.
class AddGroupBox final : public QFrame
{
    Q_OBJECT

public:
    explicit AddGroupBox(QWidget *parent = nullptr);

    // The name exactly as typed.
    QString name() const;
    // Empties the message line and the name field.
    void clear();
    void showMessage(const QString &text);
    void clearMessage();
    QString message() const;
    void focusName();

Q_SIGNALS:
    void addClicked();
    void cancelClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_txtfieldGroupname = nullptr;
    QLabel *m_lblgroupalreadyexist = nullptr;
    QPushButton *m_btnadd_boxaddgroup = nullptr;
    QPushButton *m_btncancel_boxaddGroup = nullptr;
};
