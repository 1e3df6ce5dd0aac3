#include "platform/textfile.h"

#include <QSaveFile>

namespace platform {

QStringList SplitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start).toString();
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start).toString();
    return lines;
}

bool ReplaceFile(const QString &path, const QByteArray &bytes, QString *error, FolderRefuses folderRefuses)
{
    QSaveFile file(path);
    // falls back only where the temporary file is refused for want of
    // permission, and only onto a file that may be written
    file.setDirectWriteFallback(folderRefuses == FolderRefuses::WriteInPlace);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // unbuffered, and written until every byte is taken: a write that the
    // system cuts short (a full disk) is only reported when the rest is
    // offered again, and a buffered flush inside commit() overlooks it. This
    // check is also the only one when the file is written in place, where
    // commit() reports success whatever the writes did.
    bool written = true;
    QString reason;
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            written = false;
            reason = file.errorString();
            break;
        }
        done += n;
    }
    // An opened save file always ends in commit(): one left to its destructor
    // removes the file it wrote to, and written in place that is the user's
    // own file. After cancelWriting() commit() removes only a temporary file
    // and leaves a file written in place as far as it got.
    if (!written)
        file.cancelWriting();
    const bool committed = file.commit();
    if (!written || !committed) {
        if (error)
            *error = written ? file.errorString() : reason;
        return false;
    }
    if (error)
        error->clear();
    return true;
}

}  // namespace platform
