#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace quelvaris::ui {

// What to make of files handed to the main window other than through its file picker: dropped
// on it, or named when the program was started. Exactly one existing local file is taken as the
// data file; anything else is refused with the reason.
struct DataFileOffer {
  QString path;     // the file to take, absolute; empty when refused
  QString refusal;  // the message for the user; empty when taken
};

DataFileOffer OfferDataFiles(const QList<QUrl>& urls);

}  // namespace quelvaris::ui
