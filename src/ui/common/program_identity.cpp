#include "ui/common/program_identity.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>

namespace quelvaris::ui {

QIcon ProgramIcon() {
  // One folder per size, as in the icon theme: ":/icons/48x48/apps/<id>.png".
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& folder : sizes.entryList(QDir::Dirs)) {
    const int side = folder.section(QLatin1Char('x'), 0, 0).toInt();
    const QString file =
        sizes.filePath(folder + QStringLiteral("/apps/") + DesktopId() + QStringLiteral(".png"));
    if (side > 0 && QFile::exists(file)) icon.addFile(file, QSize(side, side));
  }
  return icon;
}

void SetProgramIdentity() {
  QApplication::setApplicationName(QStringLiteral("Quelvaris"));
  QApplication::setApplicationVersion(QStringLiteral(QUELVARIS_VERSION));
  QGuiApplication::setDesktopFileName(DesktopId());
  QApplication::setWindowIcon(ProgramIcon());
}

QString DesktopId() {
  return QStringLiteral(QUELVARIS_APP_ID);
}

}  // namespace quelvaris::ui
