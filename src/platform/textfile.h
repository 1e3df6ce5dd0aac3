// Text files the program keeps: how their bytes split into lines, and how a
// file is replaced whole.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace platform {

// The lines of a text: CR, LF and CR LF each end one line and are not part
// of it; a last line without an ending still counts.
QStringList SplitLines(QStringView text);

// What to do where the folder takes no new file but the file in it may be
// written.
enum class FolderRefuses { Fail, WriteInPlace };

// Replaces the file at `path` with `bytes` through a temporary file in the
// same folder, which takes the old file's place only once every byte was
// written: a failure leaves the old file whole and no temporary file behind.
// With WriteInPlace, a folder that refuses the temporary file has the file
// itself emptied and written instead, which a failure half-way leaves
// partly written but never removes. On failure returns false and puts the system's reason in
// `error`.
bool ReplaceFile(const QString &path, const QByteArray &bytes, QString *error,
                 FolderRefuses folderRefuses = FolderRefuses::Fail);

}  // namespace platform
