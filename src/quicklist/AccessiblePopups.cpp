#include "quicklist/AccessiblePopups.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QWidget>

namespace {

constexpr char exposedProperty[] = "brimbleAccessiblePopup";

// The application's accessible root with the exposed popups after the
// windows Qt lists itself.
class ApplicationWithPopups final : public QAccessibleApplication
{
public:
    int childCount() const override { return QAccessibleApplication::childCount() + int(popups().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int own = QAccessibleApplication::childCount();
        if (index < own)
            return QAccessibleApplication::child(index);
        const QList<QWidget *> list = popups();
        return index - own < list.size() ? QAccessible::queryAccessibleInterface(list.at(index - own)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const int own = QAccessibleApplication::indexOfChild(child);
        if (own >= 0 || !child)
            return own;
        const qsizetype at = popups().indexOf(qobject_cast<QWidget *>(child->object()));
        return at < 0 ? -1 : QAccessibleApplication::childCount() + int(at);
    }

private:
    static QList<QWidget *> popups()
    {
        QList<QWidget *> found;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->windowType() == Qt::Popup && window->property(exposedProperty).toBool())
                found.append(window);
        }
        return found;
    }
};

QAccessibleInterface *applicationFactory(const QString &className, QObject *object)
{
    if (object == qApp && className == QLatin1String("QApplication"))
        return new ApplicationWithPopups;
    return nullptr;
}

} // namespace

namespace AccessiblePopups {

void expose(QWidget *popup)
{
    static const bool installed = [] {
        // A root made before the factory existed would be handed out again
        // from the cache.
        if (QAccessibleInterface *cached = QAccessible::queryAccessibleInterface(qApp))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
        QAccessible::installFactory(&applicationFactory);
        return true;
    }();
    Q_UNUSED(installed);
    popup->setProperty(exposedProperty, true);
}

} // namespace AccessiblePopups
