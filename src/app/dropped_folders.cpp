#include "app/dropped_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/sjis_qstring.h"

namespace {
constexpr qsizetype kMostItems = 10;
}

LStr droppedFolders(const QMimeData* data) {
    LStr folders;
    if (!data || !data->hasUrls()) return folders;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || urls.size() > kMostItems) return folders;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isDir()) continue;
        if (!folders.empty()) folders.append(';');
        folders.append(toSjis(QDir::cleanPath(path)).view());
    }
    return folders;
}
