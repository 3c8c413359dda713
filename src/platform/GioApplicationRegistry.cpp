// GIO's headers come first: GIO uses the name "signals", which Qt may define.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/GioApplicationRegistry.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSet>

#include <memory>

Q_LOGGING_CATEGORY(lcApplications, "brimble.platform.apps")

namespace {

struct GObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeString
{
    void operator()(gchar *text) const { g_free(text); }
};
using GString_ = std::unique_ptr<gchar, GFreeString>;

QString fromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString iconNameOf(GAppInfo *app)
{
    GIcon *icon = g_app_info_get_icon(app);
    if (!icon)
        return {};
    if (G_IS_THEMED_ICON(icon)) {
        const gchar *const *names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        return names && names[0] ? fromUtf8(names[0]) : QString();
    }
    if (G_IS_FILE_ICON(icon)) {
        GString_ path(g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon))));
        return fromUtf8(path.get());
    }
    return {};
}

// Appends the applications of list not seen yet, and frees the list.
void appendApplications(GList *list, QSet<QString> &seen, QList<ApplicationInfo> &into)
{
    for (GList *node = list; node; node = node->next) {
        auto *app = static_cast<GAppInfo *>(node->data);
        const QString id = fromUtf8(g_app_info_get_id(app));
        if (id.isEmpty() || seen.contains(id) || !g_app_info_should_show(app))
            continue;
        seen.insert(id);
        into.append({id, fromUtf8(g_app_info_get_name(app)), iconNameOf(app)});
    }
    g_list_free_full(list, g_object_unref);
}

} // namespace

QString GioApplicationRegistry::contentTypeFor(const QUrl &url)
{
    if (!url.isValid() || url.isEmpty())
        return {};
    if (!url.isLocalFile())
        return QStringLiteral("x-scheme-handler/") + url.scheme().toLower();

    const QByteArray path = QFile::encodeName(url.toLocalFile());
    GObjectPtr<GFile> file(g_file_new_for_path(path.constData()));
    GError *error = nullptr;
    GObjectPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                 G_FILE_QUERY_INFO_NONE, nullptr, &error));
    if (info) {
        const char *type = g_file_info_get_content_type(info.get());
        if (type && *type)
            return fromUtf8(type);
    }
    if (error)
        g_error_free(error);
    // A file that is gone still has a type by its name.
    gboolean uncertain = false;
    GString_ guessed(g_content_type_guess(path.constData(), nullptr, 0, &uncertain));
    return fromUtf8(guessed.get());
}

QList<ApplicationInfo> GioApplicationRegistry::applicationsFor(const QUrl &url)
{
    const QByteArray type = contentTypeFor(url).toUtf8();
    if (type.isEmpty())
        return {};

    QList<ApplicationInfo> applications;
    QSet<QString> seen;
    if (GAppInfo *fallback = g_app_info_get_default_for_type(type.constData(), false)) {
        // Hand the default to the same helper so that it is listed first.
        appendApplications(g_list_prepend(nullptr, fallback), seen, applications);
    }
    appendApplications(g_app_info_get_recommended_for_type(type.constData()), seen, applications);
    appendApplications(g_app_info_get_all_for_type(type.constData()), seen, applications);
    return applications;
}

bool GioApplicationRegistry::launch(const QString &applicationId, const QUrl &url)
{
    const QByteArray id = applicationId.toUtf8();
    GObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new(id.constData()));
    if (!app) {
        qCWarning(lcApplications) << "No application" << applicationId;
        return false;
    }
    const QByteArray uri = url.toString(QUrl::FullyEncoded).toUtf8();
    GList *uris = g_list_append(nullptr, const_cast<char *>(uri.constData()));
    GError *error = nullptr;
    const bool launched = g_app_info_launch_uris(G_APP_INFO(app.get()), uris, nullptr, &error);
    g_list_free(uris);
    if (error) {
        qCWarning(lcApplications) << "Could not open" << url << "with" << applicationId << error->message;
        g_error_free(error);
    }
    return launched;
}
