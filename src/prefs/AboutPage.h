#pragma once

#include <QWidget>

class ApplicationRegistry;
class QLabel;
class QPushButton;
class UrlOpener;

// The about page: name, version, legal notice, and a link that rates
// Brimble in the desktop's software centre. The maker's web and social
// pages have no addresses, so they have no buttons.
// Known elsewhere as aboutvc.
class AboutPage final : public QWidget
{
    Q_OBJECT

public:
    // The address that software centres (GNOME Software, Discover) open on
    // Brimble's page.
    static constexpr auto rateAddress = "appstream://org.brimble.Brimble";

    // version is the build's version; empty shows no version line. With
    // applications, the rate button shows only when some installed
    // application opens the rate address: without a software centre it
    // would do nothing.
    AboutPage(UrlOpener &urls, const QString &version, ApplicationRegistry *applications = nullptr,
              QWidget *parent = nullptr);

    QString versionText() const;

    void btnRateusClciked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    UrlOpener &m_urls;
    ApplicationRegistry *m_applications = nullptr; // until the page is first shown
    QLabel *m_icon = nullptr;
    QPushButton *m_btnrateus = nullptr;
    QLabel *m_lblappVersion = nullptr;
};
