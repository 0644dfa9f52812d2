#include "ui/common/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace quelvaris::ui {
namespace {

// The run's messages join their lines with a lone CR, the error reporter's with CRLF; Qt
// breaks lines at LF only.
QString BoxText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

// A file dialog with the filters given, the first one selected: an existing file to open, or
// any name to save under (the dialog asks before it replaces a file). Nothing on cancel.
std::optional<QString> PickFile(QWidget* parent, const QString& start, const QStringList& filters,
                                QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, QString(), start);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setAcceptMode(mode);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

class QtDialogs : public Dialogs {
 public:
  MessageAnswer Message(QWidget* parent, const std::string& title, const std::string& text,
                        MessageIcon icon, MessageButtons buttons) override {
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(BoxText(text));
    switch (icon) {
      case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
      case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
      case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (buttons == MessageButtons::YesNo) {
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
  }

  std::optional<QString> OpenFileName(QWidget* parent, const QString& start_dir,
                                      const QStringList& filters) override {
    return PickFile(parent, start_dir, filters, QFileDialog::AcceptOpen);
  }

  std::optional<QString> SaveFileName(QWidget* parent, const QString& start_path,
                                      const QStringList& filters) override {
    return PickFile(parent, start_path, filters, QFileDialog::AcceptSave);
  }

  bool SetUpPrinter(QWidget* parent, QPrinter& printer) override {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }
};

Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() {
  static QtDialogs real;
  return installed ? *installed : real;
}

void SetDialogs(Dialogs* dialogs) {
  installed = dialogs;
}

}  // namespace quelvaris::ui
