#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>

namespace quelvaris::testing {

// The number of pages of a PDF file: pdfinfo's count, or without poppler the page objects in
// the file. -1 when the file cannot be read.
inline int PdfPages(const QString& path) {
  QProcess pdfinfo;
  pdfinfo.start(QStringLiteral("pdfinfo"), {path});
  if (pdfinfo.waitForFinished(10000) && pdfinfo.exitCode() == 0) {
    for (const QByteArray& line : pdfinfo.readAllStandardOutput().split('\n')) {
      if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    }
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = file.readAll();
  return static_cast<int>(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ") +
                          bytes.count("/Type /Page/") + bytes.count("/Type /Page>"));
}

// The first page of a PDF file as pdftoppm draws it at `dpi`; a null image without poppler.
inline QImage PdfFirstPage(const QString& path, int dpi) {
  QProcess pdftoppm;
  pdftoppm.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                  QStringLiteral("-singlefile"), path, path + QStringLiteral("-page")});
  if (!pdftoppm.waitForFinished(20000) || pdftoppm.exitCode() != 0) return {};
  return QImage(path + QStringLiteral("-page.png"));
}

}  // namespace quelvaris::testing
