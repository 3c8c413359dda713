#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// One installed application, as its desktop entry describes it.
struct ApplicationInfo
{
    // The desktop entry's id, for example "org.gnome.TextEditor.desktop".
    QString id;
    QString name;
    // An icon theme name, or an absolute path to an image; may be empty.
    QString iconName;
};

// The applications that can open a file or a web address, and opening with one.
class ApplicationRegistry
{
public:
    virtual ~ApplicationRegistry() = default;

    // For a local file, the applications for its content type; for another
    // address, the handlers of its scheme. The default application first,
    // then the other recommended ones, then the rest; each application once.
    virtual QList<ApplicationInfo> applicationsFor(const QUrl &url) = 0;
    // Opens url with the application of that id; false when it could not start.
    virtual bool launch(const QString &applicationId, const QUrl &url) = 0;
};
