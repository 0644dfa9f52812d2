#include "ui/main/data_file_drop.h"

#include <QFileInfo>

namespace quelvaris::ui {

DataFileOffer OfferDataFiles(const QList<QUrl>& urls) {
  if (urls.isEmpty()) return {{}, QStringLiteral("No file was given.")};
  if (urls.size() > 1) {
    return {{},
            QStringLiteral("Only one data file can be analysed at a time; %1 were given.")
                .arg(urls.size())};
  }
  const QUrl& url = urls.front();
  if (!url.isLocalFile()) {
    return {{},
            QStringLiteral("Only files on this computer can be analysed: %1 is not one.")
                .arg(url.toDisplayString())};
  }
  const QFileInfo info(url.toLocalFile());
  const QString path = info.absoluteFilePath();
  if (info.isDir()) return {{}, QStringLiteral("%1 is a folder: choose a data file.").arg(path)};
  if (!info.exists()) return {{}, QStringLiteral("The data file %1 does not exist.").arg(path)};
  return {path, {}};
}

}  // namespace quelvaris::ui
