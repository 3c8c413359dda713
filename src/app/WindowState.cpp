#include "app/WindowState.h"

#include "platform/Paths.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcWindowState, "brimble.app.window")

namespace {
const QString geometryKey = QStringLiteral("manager/geometry");
const QString paneSplitKey = QStringLiteral("manager/paneSplit");
const QString selectedGroupKey = QStringLiteral("manager/selectedGroup");
} // namespace

QString WindowState::defaultFile()
{
    return Paths::stateFolder() + QStringLiteral("/window.ini");
}

WindowState WindowState::read(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return {};
    const QSettings settings(file, QSettings::IniFormat);
    // A value of another type (the file edited by hand) reads as empty.
    const auto bytes = [&settings](const QString &key) {
        const QVariant value = settings.value(key);
        return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
    };
    const QVariant group = settings.value(selectedGroupKey);
    return {bytes(geometryKey), bytes(paneSplitKey),
            group.typeId() == QMetaType::QString ? group.toString() : QString()};
}

bool WindowState::write(const QString &file) const
{
    if (!Paths::makePrivateFolder(QFileInfo(file).absolutePath())) {
        qCWarning(lcWindowState).noquote() << "Cannot make the folder of" << file;
        return false;
    }
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(geometryKey, geometry);
    settings.setValue(paneSplitKey, paneSplit);
    settings.setValue(selectedGroupKey, selectedGroup);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcWindowState).noquote() << "Cannot keep the window's state in" << file;
        return false;
    }
    return true;
}
