// GIO's headers come first: GIO uses the name "signals", which Qt may define.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/GioApplicationRegistry.h"

#include <QFile>
#include <QLibrary>
#include <QLoggingCategory>
#include <QSet>

#include <memory>
#include <optional>

Q_LOGGING_CATEGORY(lcApplications, "brimble.platform.apps")

namespace {

// GIO is loaded when first needed instead of linked: with GObject, libmount,
// libselinux and the rest it pulls in, it costs about a megabyte at launch,
// and only choosing an application for an item needs it. Each entry names
// a function without its "g_" prefix, which keeps calls clear of GLib's
// function-like macros.
// clang-format off
#define BRIMBLE_GIO_FUNCTIONS(F)                                                                  \
    F(free) F(error_free) F(list_append) F(list_prepend) F(list_free) F(list_free_full)            \
    F(object_unref) F(type_check_instance_is_a)                                                  \
    F(file_new_for_path) F(file_query_info) F(file_info_get_content_type) F(file_get_path)        \
    F(content_type_guess) F(themed_icon_get_type) F(themed_icon_get_names) F(file_icon_get_type)  \
    F(file_icon_get_file) F(app_info_get_icon) F(app_info_get_id) F(app_info_get_name)            \
    F(app_info_should_show) F(app_info_get_default_for_type) F(app_info_get_recommended_for_type) \
    F(app_info_get_all_for_type) F(app_info_launch_uris) F(desktop_app_info_new)
// clang-format on

struct Gio
{
#define BRIMBLE_GIO_MEMBER(name) decltype(&::g_##name) name = nullptr;
    BRIMBLE_GIO_FUNCTIONS(BRIMBLE_GIO_MEMBER)
#undef BRIMBLE_GIO_MEMBER

    template<typename Instance>
    bool isA(Instance *instance, GType type) const
    {
        return type_check_instance_is_a(reinterpret_cast<GTypeInstance *>(instance), type);
    }
};

std::optional<Gio> loadGio()
{
    QLibrary library(QStringLiteral("gio-2.0"), 0);
    if (!library.load()) {
        qCWarning(lcApplications) << "GIO is not available:" << library.errorString();
        return std::nullopt;
    }
    Gio gio;
#define BRIMBLE_GIO_RESOLVE(name)                                                                                      \
    gio.name = reinterpret_cast<decltype(gio.name)>(library.resolve("g_" #name));                                      \
    if (!gio.name) {                                                                                                   \
        qCWarning(lcApplications) << "GIO lacks"                                                                       \
                                  << "g_" #name;                                                                       \
        return std::nullopt;                                                                                           \
    }
    BRIMBLE_GIO_FUNCTIONS(BRIMBLE_GIO_RESOLVE)
#undef BRIMBLE_GIO_RESOLVE
    // The library stays loaded for the life of the process.
    return gio;
}

// GIO's functions, or null when the library could not be loaded.
const Gio *gio()
{
    static const std::optional<Gio> loaded = loadGio();
    return loaded ? &*loaded : nullptr;
}

struct GObjectUnref
{
    void operator()(gpointer object) const { gio()->object_unref(object); }
};
template<typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeString
{
    void operator()(gchar *text) const { gio()->free(text); }
};
using GString_ = std::unique_ptr<gchar, GFreeString>;

QString fromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString iconNameOf(const Gio &g, GAppInfo *app)
{
    GIcon *icon = g.app_info_get_icon(app);
    if (!icon)
        return {};
    if (g.isA(icon, g.themed_icon_get_type())) {
        const gchar *const *names = g.themed_icon_get_names(reinterpret_cast<GThemedIcon *>(icon));
        return names && names[0] ? fromUtf8(names[0]) : QString();
    }
    if (g.isA(icon, g.file_icon_get_type())) {
        GString_ path(g.file_get_path(g.file_icon_get_file(reinterpret_cast<GFileIcon *>(icon))));
        return fromUtf8(path.get());
    }
    return {};
}

// Appends the applications of list not seen yet, and frees the list.
void appendApplications(const Gio &g, GList *list, QSet<QString> &seen, QList<ApplicationInfo> &into)
{
    for (GList *node = list; node; node = node->next) {
        auto *app = static_cast<GAppInfo *>(node->data);
        const QString id = fromUtf8(g.app_info_get_id(app));
        if (id.isEmpty() || seen.contains(id) || !g.app_info_should_show(app))
            continue;
        seen.insert(id);
        into.append({id, fromUtf8(g.app_info_get_name(app)), iconNameOf(g, app)});
    }
    g.list_free_full(list, g.object_unref);
}

QString contentTypeOfFile(const Gio &g, const QByteArray &path)
{
    GObjectPtr<GFile> file(g.file_new_for_path(path.constData()));
    GError *error = nullptr;
    GObjectPtr<GFileInfo> info(
        g.file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, nullptr, &error));
    if (info) {
        const char *type = g.file_info_get_content_type(info.get());
        if (type && *type)
            return fromUtf8(type);
    }
    if (error)
        g.error_free(error);
    // A file that is gone still has a type by its name.
    gboolean uncertain = false;
    GString_ guessed(g.content_type_guess(path.constData(), nullptr, 0, &uncertain));
    return fromUtf8(guessed.get());
}

} // namespace

QString GioApplicationRegistry::contentTypeFor(const QUrl &url)
{
    if (!url.isValid() || url.isEmpty())
        return {};
    if (!url.isLocalFile())
        return QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
    const Gio *g = gio();
    return g ? contentTypeOfFile(*g, QFile::encodeName(url.toLocalFile())) : QString();
}

QList<ApplicationInfo> GioApplicationRegistry::applicationsFor(const QUrl &url)
{
    const QByteArray type = contentTypeFor(url).toUtf8();
    const Gio *g = gio();
    if (type.isEmpty() || !g)
        return {};

    QList<ApplicationInfo> applications;
    QSet<QString> seen;
    if (GAppInfo *fallback = g->app_info_get_default_for_type(type.constData(), false)) {
        // Hand the default to the same helper so that it is listed first.
        appendApplications(*g, g->list_prepend(nullptr, fallback), seen, applications);
    }
    appendApplications(*g, g->app_info_get_recommended_for_type(type.constData()), seen, applications);
    appendApplications(*g, g->app_info_get_all_for_type(type.constData()), seen, applications);
    return applications;
}

bool GioApplicationRegistry::launch(const QString &applicationId, const QUrl &url)
{
    const Gio *g = gio();
    if (!g)
        return false;
    const QByteArray id = applicationId.toUtf8();
    GObjectPtr<GDesktopAppInfo> app(g->desktop_app_info_new(id.constData()));
    if (!app) {
        qCWarning(lcApplications) << "No application" << applicationId;
        return false;
    }
    const QByteArray uri = url.toString(QUrl::FullyEncoded).toUtf8();
    GList *uris = g->list_append(nullptr, const_cast<char *>(uri.constData()));
    GError *error = nullptr;
    const bool launched = g->app_info_launch_uris(reinterpret_cast<GAppInfo *>(app.get()), uris, nullptr, &error);
    g->list_free(uris);
    if (error) {
        qCWarning(lcApplications) << "Could not open" << url << "with" << applicationId << error->message;
        g->error_free(error);
    }
    return launched;
}
