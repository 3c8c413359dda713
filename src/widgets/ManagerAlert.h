#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class DimmingLayer;
class QMessageBox;
class QWidget;

namespace ManagerAlert {

// An informational alert over the manager window (window-modal, the dimming
// layer up while it shows) with one or two buttons; the first is the
// default, the last answers Escape. done gets the index of the button
// pressed. The alert deletes itself when it closes.
QMessageBox *show(QWidget *parent, DimmingLayer &blackLayer, const QString &message, const QString &informative,
                  const QStringList &buttons, const std::function<void(int button)> &done);
// The same for a confirmation that removes something: the last button
// (Cancel) is the default, so that Return alone removes nothing.
QMessageBox *confirmRemoval(QWidget *parent, DimmingLayer &blackLayer, const QString &message,
                            const QString &informative, const QStringList &buttons,
                            const std::function<void(int button)> &done);

} // namespace ManagerAlert
