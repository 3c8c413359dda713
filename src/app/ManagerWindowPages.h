#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class DimmingLayer;
class FavoritesStore;
class FirstGroupBox;
class QFrame;
class QPushButton;
class QStackedWidget;
struct SortSettings;
class ViewLinks;

// The manager window's pages once the first run is over: a row of page
// buttons (each with a marker under it while its page shows) over one
// content area. Pages are created on their first visit and kept, so they
// keep their state between visits. While no group exists, showing the
// groups page lays the first-group box over that page; the page buttons
// stay within reach of the pointer and the keyboard.
// Known elsewhere as containerVc.
class ManagerWindowPages final : public QWidget
{
    Q_OBJECT

public:
    enum Page { managerPage = 0, preferencesPage = 1, aboutPage = 2, utilityKitPage = 3 };
    static constexpr int pageCount = 4;

    // Builds the widget of a page on its first visit; pages get the
    // container's dimming layer for their alerts and panels. A page without
    // a widget (nothing promotes other applications here) has no button.
    using PageFactory = std::function<QWidget *(int page, DimmingLayer &blackLayer)>;

    struct Services
    {
        FavoritesStore &favorites;
        SortSettings &sortSettings;
        ViewLinks &viewLinks;
    };

    ManagerWindowPages(const Services &services, PageFactory pages, QWidget *parent = nullptr);
    ~ManagerWindowPages() override;

    // Shows page (the four page buttons' action).
    void showPage(int page);
    // The page on screen; -1 before the first showPage().
    int containerPage() const { return m_containerPage; }
    QWidget *currentview() const;
    QPushButton *pageButton(int page) const { return m_buttons.at(page); }
    bool isMarkerVisible(int page) const;

    DimmingLayer &blackLayer() const { return *m_blackLayer; }

    FirstGroupBox *firstGroupBox() const { return m_firstGroupBox; }
    bool isFirstGroupBoxShowing() const;
    // Creates the first group from the box's name field; an empty name gets
    // an alert and the box stays.
    void btnCreateGroup();
    // The empty-name alert while it is open.
    QWidget *alert() const;

protected:
    // The first-group box follows the page area as the layout moves it.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // While the first-group box shows, Tab and Backtab go round the box and
    // the page buttons: the page the box covers is out of reach for the
    // keyboard as it is for the pointer.
    bool focusNextPrevChild(bool next) override;
    // Escape closes the first-group box wherever the focus is.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *pageWidget(int page);
    bool hasNoGroup() const;
    void placeFirstGroupBox();

    Services m_services;
    PageFactory m_pageFactory;
    std::array<QPushButton *, pageCount> m_buttons{};
    std::array<QFrame *, pageCount> m_markers{};
    std::array<QWidget *, pageCount> m_pages{};
    QStackedWidget *m_customview = nullptr;
    DimmingLayer *m_blackLayer = nullptr;
    FirstGroupBox *m_firstGroupBox = nullptr;
    QPointer<QWidget> m_alert;
    int m_containerPage = -1;
};
