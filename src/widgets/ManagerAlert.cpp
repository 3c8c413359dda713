#include "widgets/ManagerAlert.h"

#include "widgets/DimmingLayer.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace ManagerAlert {

namespace {
constexpr int textColumns = 52;
} // namespace

QMessageBox *show(QWidget *parent, DimmingLayer &blackLayer, const QString &message, const QString &informative,
                  const QStringList &buttons, const std::function<void(int button)> &done)
{
    auto *alert = new QMessageBox(QMessageBox::Information, QString(), message, QMessageBox::NoButton, parent);
    alert->setObjectName(QStringLiteral("managerAlert"));
    alert->setInformativeText(informative);
    alert->setTextFormat(Qt::PlainText);
    // The message box sizes itself to its short first line and wraps the
    // explanation into a narrow column; a strut keeps it a few lines across.
    if (!informative.isEmpty()) {
        if (auto *grid = qobject_cast<QGridLayout *>(alert->layout())) {
            const int width = alert->fontMetrics().averageCharWidth() * textColumns;
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                          grid->columnCount());
        }
    }
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    QList<QAbstractButton *> added;
    for (int index = 0; index < buttons.size(); ++index) {
        const bool last = index == buttons.size() - 1 && buttons.size() > 1;
        QPushButton *button = alert->addButton(buttons.at(index),
                                               last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        button->setAccessibleName(buttons.at(index));
        added.append(button);
    }
    if (!added.isEmpty()) {
        alert->setDefaultButton(qobject_cast<QPushButton *>(added.first()));
        alert->setEscapeButton(added.last());
    }
    blackLayer.hold();
    QPointer<DimmingLayer> layer(&blackLayer);
    QObject::connect(alert, &QMessageBox::finished, alert, [alert, added, layer, done] {
        if (layer)
            layer->release();
        if (done)
            done(int(added.indexOf(alert->clickedButton())));
    });
    alert->open();
    return alert;
}

QMessageBox *confirmRemoval(QWidget *parent, DimmingLayer &blackLayer, const QString &message,
                            const QString &informative, const QStringList &buttons,
                            const std::function<void(int button)> &done)
{
    QMessageBox *alert = show(parent, blackLayer, message, informative, buttons, done);
    if (auto *cancel = qobject_cast<QPushButton *>(alert->escapeButton())) {
        alert->setDefaultButton(cancel);
        cancel->setFocus(Qt::OtherFocusReason);
    }
    return alert;
}

} // namespace ManagerAlert
