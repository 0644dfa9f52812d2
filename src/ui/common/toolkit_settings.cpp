#include "ui/common/toolkit_settings.h"

#include <QSettings>
#include <QString>

namespace quelvaris::ui {

void KeepNoToolkitSettings() {
  static const bool kept_none = [] {
    // The user's toolkit settings are read from and written to a folder among the program's
    // built-in resources, which can be neither created nor written: they read as empty and
    // every write fails quietly. Where the native settings are a registry rather than files,
    // only the file formats are covered.
    const QString nowhere = QStringLiteral(":/no-toolkit-settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
    return true;
  }();
  (void)kept_none;
}

}  // namespace quelvaris::ui
