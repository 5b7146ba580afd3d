#include "ui/qt/show_in_folder.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

namespace quenmar {
namespace {

FolderShower& TestShower() {
  static FolderShower shower;
  return shower;
}

QString Q(const Text& text) { return QString::fromStdU16String(text); }

}  // namespace

void SetFolderShower(FolderShower shower) { TestShower() = std::move(shower); }

void ShowInFolder(const Text& folder, const std::vector<Text>& files) {
  if (TestShower()) {
    TestShower()(folder, files);
    return;
  }
  QStringList uris;
  for (const Text& file : files) uris << QUrl::fromLocalFile(Q(file)).toString();
  QDBusInterface manager(QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
                         QStringLiteral("org.freedesktop.FileManager1"), QDBusConnection::sessionBus());
  if (manager.isValid()) {
    const QDBusReply<void> reply = manager.call(QStringLiteral("ShowItems"), uris, QString());
    if (reply.isValid()) return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(folder)));
}

}  // namespace quenmar
