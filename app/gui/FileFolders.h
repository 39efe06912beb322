// Where the window's file dialogs open: at the file already chosen, else in
// the folder the user last chose a file in (kept in the settings).
#pragma once

#include <QString>

namespace brennic {

// The dialog's start: `file` when there is one, else the last folder ("" at first).
QString DialogStart(const QString& file = QString());
// Remembers the folder of a file the user chose; "" is ignored.
void RememberFolder(const QString& file);

}  // namespace brennic
