#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <functional>

// Thin wrappers over whole-file reads and writes. Each returns the reason of a
// failure in words a player can be shown, or an empty text on success.
namespace TextFile {

// True for an existing ordinary file; a directory is not a file.
bool exists(const QString &path);

struct ReadResult
{
    QByteArray bytes;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
ReadResult readAll(const QString &path, qint64 maxBytes);

// Reads the device in chunks, so memory does not grow with the file, and hands
// over each line without its LF (a CR before it stays). A line longer than
// maxLineBytes cannot be one the game wrote and is skipped unread.
void forEachLine(QIODevice &device, qsizetype maxLineBytes,
                 const std::function<void(QByteArrayView)> &onLine);

// Appends whole lines. If an earlier write was cut short and the file does not
// end in a line end, one is added first so the new line stands on its own.
QString append(const QString &path, const QByteArray &lines);

// Replaces the file through a temporary file in the same folder, so that a
// failed write leaves the old content whole.
QString replace(const QString &path, const QByteArray &content);

}
