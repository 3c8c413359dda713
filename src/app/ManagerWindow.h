#pragma once

#include <QWidget>

class PreferencesStore;

// The manager window's frame. Closing it while the first run is still open
// finishes the first run, so that the tray popup works from then on. Where
// there is no system tray it is the only way back into Brimble, so closing
// minimises it instead.
class ManagerWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit ManagerWindow(PreferencesStore &preferences, QWidget *parent = nullptr);

    void setMinimizesOnClose(bool minimizes) { m_minimizesOnClose = minimizes; }
    bool minimizesOnClose() const { return m_minimizesOnClose; }
    void showAndActivate();
    // Puts content (the manager page) into the window, filling it.
    void setContent(QWidget *content);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    PreferencesStore &m_preferences;
    bool m_minimizesOnClose = false;
};
