#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QStackedWidget;

// The preview of a file where the desktop has no previewer of its own: a
// picture scaled to fit, a text file's start as plain text, else the file's
// icon, name, type, size and modification time. Space or Escape closes it.
class PreviewWindow final : public QWidget
{
    Q_OBJECT

public:
    // How much of a text file is shown.
    static constexpr qint64 textLimit = 64 * 1024;

    enum class Shown { picture, text, details };

    explicit PreviewWindow(QWidget *parent = nullptr);

    // Shows path, or closes when path is showing already.
    void toggle(const QString &path);
    void showFile(const QString &path);

    QString path() const { return m_path; }
    Shown shown() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool showPicture();
    bool showText();
    void showDetails();
    void scalePicture();

    QString m_path;
    Shown m_shown = Shown::details;
    QImage m_picture;
    QStackedWidget *m_pages = nullptr;
    QLabel *m_pictureLabel = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QLabel *m_icon = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_details = nullptr;
};
