#include "app/file_clipboard.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace sorabu::app {

namespace {

constexpr char kGnomeFiles[] = "x-special/gnome-copied-files";
constexpr char kKdeCut[] = "application/x-kde-cutselection";

}  // namespace

QMimeData* FilesMimeData(const QStringList& paths, bool cut) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  QByteArray gnome = cut ? "cut" : "copy";
  for (const QString& p : paths) {
    const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(p));
    urls << url;
    gnome += '\n' + url.toEncoded();
  }
  data->setUrls(urls);
  data->setData(QString::fromLatin1(kGnomeFiles), gnome);
  if (cut) data->setData(QString::fromLatin1(kKdeCut), "1");
  data->setText(paths.join(QLatin1Char('\n')));
  return data;
}

std::optional<TClipboardFiles> FilesFromMimeData(const QMimeData* data) {
  if (data == nullptr) return std::nullopt;
  TClipboardFiles files;
  QList<QUrl> urls;
  const QByteArray gnome = data->data(QString::fromLatin1(kGnomeFiles));
  if (!gnome.isEmpty()) {
    QList<QByteArray> lines = gnome.split('\n');
    files.cut = lines.front().trimmed() == "cut";
    lines.removeFirst();
    for (const QByteArray& line : lines)
      if (!line.trimmed().isEmpty()) urls << QUrl::fromEncoded(line.trimmed());
  } else {
    urls = data->urls();
    files.cut = data->data(QString::fromLatin1(kKdeCut)).startsWith('1');
  }
  for (const QUrl& u : urls)
    if (u.isLocalFile()) files.paths << QDir::cleanPath(u.toLocalFile());
  if (files.paths.isEmpty()) return std::nullopt;
  return files;
}

}  // namespace sorabu::app
