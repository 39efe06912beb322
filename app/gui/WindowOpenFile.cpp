// Files opened the desktop way: named on the command line, dropped on the
// window or handed over by a file manager. A scenario by its name, a
// measured log or an air table by what the file holds.
#include "app/gui/MainOrvalis.h"

#include "app/core/tables/MeasuredLog.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/StatusBar.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

namespace brennic {

namespace {

// The one local file a drag carries, or nothing.
QString DraggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

}  // namespace

void TFrmBrennic::OpenAnyFile(const QString& path)
{
    const std::string name = QFile::encodeName(path).toStdString();
    if (!QFileInfo(path).isFile())
        throw EBrennicError("'" + path.toStdString() + "' is not a file that can be opened");
    if (QFileInfo(path).suffix().compare(QStringLiteral("brennic"), Qt::CaseInsensitive) == 0) {
        if (ConfirmDiscard())
            OpenScenario(path);
        return;
    }
    // A log has a surface or a back column; an air table has neither.
    std::string notLog;
    try {
        TMeasuredLog::Load(name, {});
    } catch (const ETableError& e) {
        notLog = e.what();
    }
    if (notLog.empty()) {
        LoadMeasuredLog(name, {}, "", true);
        return;
    }
    try {
        UseAirFile({name, "", "", "", "", "", "", ""}, true);
    } catch (const EBrennicError& e) {
        throw EBrennicError(path.toStdString() + " is neither a measured log (" + notLog + ") nor an air table (" +
                            e.what() + ")");
    }
    StatusBar1->ShowMessage(QStringLiteral("Air from %1; the duration is set to the rest of the file").arg(path));
}

void TFrmBrennic::dragEnterEvent(QDragEnterEvent* e)
{
    if (!DraggedFile(e->mimeData()).isEmpty() && !Running())
        e->acceptProposedAction();
}

void TFrmBrennic::dropEvent(QDropEvent* e)
{
    const QString path = DraggedFile(e->mimeData());
    if (path.isEmpty() || Running())
        return;
    e->acceptProposedAction();
    Guarded([&] { OpenAnyFile(path); });
}

}  // namespace brennic
