#include "app/gui/FileFolders.h"

#include <QFileInfo>
#include <QSettings>

namespace brennic {

namespace {

const QString FolderKey = QStringLiteral("lastFolder");

}  // namespace

QString DialogStart(const QString& file)
{
    if (!file.isEmpty())
        return file;
    return QSettings().value(FolderKey).toString();
}

void RememberFolder(const QString& file)
{
    if (file.isEmpty())
        return;
    QSettings().setValue(FolderKey, QFileInfo(file).absolutePath());
}

}  // namespace brennic
