#pragma once

#include <QFrame>

class QLabel;

// A message across the top of the manager window that leaves the window
// usable (no dialog to answer): what happened to the favourites file while
// Brimble ran. It stays until the user dismisses it; a later message
// replaces it.
class NoticeBar final : public QFrame
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    void showMessage(const QString &text);
    // The message shown, or empty once dismissed.
    QString message() const;

private:
    QLabel *m_text = nullptr;
};
