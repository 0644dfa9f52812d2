#include "ui/common/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "ui/common/toolkit_settings.h"

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

// The dialog's text for a filter: the caption as given, then the patterns the list is filtered
// by. The toolkit reads "*.*" as names with a dot, where the caption means every file. The
// dialog shows only what stands before the last parentheses, so the caption reads as given.
QString DialogFilter(const QString& filter) {
  static const QRegularExpression last_parentheses(QStringLiteral("\\(([^()]*)\\)\\s*$"));
  const QRegularExpressionMatch match = last_parentheses.match(filter);
  if (!match.hasMatch()) return filter + QStringLiteral(" (") + filter + QLatin1Char(')');
  QStringList patterns = match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (QString& pattern : patterns) {
    if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
  }
  return filter + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

enum class Purpose { Open, OpenAnyName, Save };

// A file dialog with the filters given, the first one selected. Nothing on cancel. The
// toolkit's own dialog rather than the desktop's, so that every desktop takes the same names:
// a desktop's open dialog refuses a new name, which a results file usually is.
std::optional<QString> PickFile(QWidget* parent, const QString& start, const QStringList& filters,
                                Purpose purpose) {
  QFileDialog dialog(parent, QString(), start);
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  if (purpose == Purpose::OpenAnyName) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setFileMode(purpose == Purpose::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setAcceptMode(purpose == Purpose::Save ? QFileDialog::AcceptSave
                                                : QFileDialog::AcceptOpen);
  QStringList shown;
  for (const QString& filter : filters) shown.push_back(DialogFilter(filter));
  dialog.setNameFilters(shown);
  if (!shown.isEmpty()) dialog.selectNameFilter(shown.front());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

class QtDialogs : public Dialogs {
 public:
  QtDialogs() { KeepNoToolkitSettings(); }

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
                                      const QStringList& filters, FilePick pick) override {
    return PickFile(parent, start_dir, filters,
                    pick == FilePick::AnyName ? Purpose::OpenAnyName : Purpose::Open);
  }

  std::optional<QString> SaveFileName(QWidget* parent, const QString& start_path,
                                      const QStringList& filters) override {
    return PickFile(parent, start_path, filters, Purpose::Save);
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
