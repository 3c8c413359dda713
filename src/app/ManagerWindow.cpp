#include "app/ManagerWindow.h"

#include "app/TrayIconImage.h"
#include "platform/PreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <QCloseEvent>
#include <QVBoxLayout>

ManagerWindow::ManagerWindow(PreferencesStore &preferences, QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
{
    setWindowTitle(LocalizedText("IDS_BR_7"));
    setWindowIcon(brimbleIcon());
    resize(860, 560);
}

void ManagerWindow::showAndActivate()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void ManagerWindow::setContent(QWidget *content)
{
    auto *box = qobject_cast<QVBoxLayout *>(layout());
    if (!box) {
        box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
    }
    box->addWidget(content);
}

void ManagerWindow::closeEvent(QCloseEvent *event)
{
    if (!m_preferences.integerForKey(StoreKeys::first))
        m_preferences.setInteger(1, StoreKeys::first);
    if (m_minimizesOnClose) {
        event->ignore();
        showMinimized();
        return;
    }
    event->accept();
}
