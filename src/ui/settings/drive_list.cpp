#include "ui/settings/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/run_time_error.h"

namespace quelvaris::ui {
namespace {

bool IsSystemVolume(const QStorageInfo& volume) {
  static const QStringList kSystemPrefixes = {"/proc", "/sys", "/dev"};
  const QString root = volume.rootPath();
  for (const QString& prefix : kSystemPrefixes) {
    if (root == prefix || root.startsWith(prefix + '/')) return true;
  }
  static const QList<QByteArray> kPseudoTypes = {"proc",    "sysfs",   "devpts",     "devtmpfs",
                                                 "cgroup",  "cgroup2", "securityfs", "debugfs",
                                                 "tracefs", "bpf",     "autofs",     "mqueue"};
  return kPseudoTypes.contains(volume.fileSystemType());
}

QString LabelOf(const QStorageInfo& volume) {
  const QString root = volume.rootPath();
  const QString name = volume.name();
  return name.isEmpty() || name == root ? root : root + "  [" + name + "]";
}

}  // namespace

QList<Drive> MountedDrives() {
  const QString home_drive = DriveOf(QDir::homePath());
  QList<Drive> drives;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || IsSystemVolume(volume)) continue;
    Drive drive{volume.rootPath(), LabelOf(volume)};
    bool seen = false;  // bind mounts list one root more than once
    for (const Drive& d : drives) seen = seen || d.root == drive.root;
    if (seen) continue;
    if (drive.root == home_drive) {
      drives.prepend(drive);
    } else {
      drives.append(drive);
    }
  }
  return drives;
}

QString DriveOf(const QString& path) {
  QStorageInfo volume(path);
  if (volume.isValid()) return volume.rootPath();
  // No mount point that this process can see holds the path (a chroot or a container whose
  // mount table names places outside it): the path lies on the volume of the root folder.
  return QDir::isAbsolutePath(path) && QFileInfo::exists(path) ? QStringLiteral("/") : QString();
}

void CheckDriveReady(const QString& root) {
  if (root.isEmpty() || !QFileInfo(root).isDir()) throw RunTimeError(err::kDeviceUnavailable);
  // The root folder is always there, whether or not the mount table shows it.
  if (root == QLatin1String("/")) return;
  QStorageInfo volume(root);
  // A folder that is still there but no longer a mount point belongs to another volume now:
  // the drive it stood for is gone.
  if (!volume.isValid() || volume.rootPath() != root) throw RunTimeError(err::kDeviceUnavailable);
  if (!volume.isReady()) throw RunTimeError(err::kDiskNotReady);
}

QString CheckDirectory(const QString& path) {
  if (path.isEmpty()) throw RunTimeError(err::kPathNotFound);
  const QFileInfo info(path);
  if (!info.exists() || !info.isDir()) throw RunTimeError(err::kPathNotFound);
  if (!info.isReadable() || !info.isExecutable()) throw RunTimeError(err::kPermissionDenied);
  return QDir::cleanPath(info.absoluteFilePath());
}

}  // namespace quelvaris::ui
