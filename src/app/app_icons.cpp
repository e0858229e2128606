// Icons from the theme with built-in fallbacks. The resources live in a static
// library, so they are registered by hand before the first lookup: nothing
// else references their object file, and the linker would leave it out.
#include "app/app_icons.h"

#include <QString>

static void registerIconResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    (void)registered;
}

QIcon themeIcon(const char* themeName) {
    registerIconResources();
    const QString name = QString::fromLatin1(themeName);
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
}

QIcon applicationIcon() {
    registerIconResources();
    return QIcon::fromTheme(QStringLiteral("quillfind"),
                            QIcon(QStringLiteral(":/icons/quillfind.svg")));
}
