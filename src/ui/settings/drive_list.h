#pragma once

#include <QList>
#include <QString>

namespace quelvaris::ui {

// One entry of the drive list: a mounted volume, named by its root directory.
struct Drive {
  QString root;   // "/", "/media/usb", ...
  QString label;  // what the list shows
};

// The mounted volumes that can hold a default directory, the one holding the home directory
// first. Pseudo file systems (proc, sysfs, ...) are left out: nobody keeps data files there.
QList<Drive> MountedDrives();

// The drive of a path: the root of the volume that holds it.
QString DriveOf(const QString& path);

// Throws RunTimeError 68 when the volume at root has vanished (no longer mounted there) and
// 71 when it is mounted but not ready.
void CheckDriveReady(const QString& root);

// Throws RunTimeError 76 when path is not an existing directory and 70 when it cannot be
// listed. Returns the path in the directory list's own form (absolute and clean).
QString CheckDirectory(const QString& path);

}  // namespace quelvaris::ui
