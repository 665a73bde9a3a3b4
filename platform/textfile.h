#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QFile;

// Thin wrappers over whole-file reads and writes. Each returns the reason of a
// failure in words a player can be shown, or an empty text on success.
//
// Only ordinary files are read or written, and nothing here ever waits: a
// FIFO, socket or folder standing where a file should be is a file that cannot
// be read or written. A character device (a link to /dev/full, say) is read no
// further than the limit given and written in place, never replaced.
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

// Opens an ordinary file for reading in chunks; false, with the reason, for
// anything else.
bool openForReading(const QString &path, QFile &file, QString *error);

// Reads the device in chunks, so memory does not grow with the file, and hands
// over each line without its LF (a CR before it stays). A line longer than
// maxLineBytes cannot be one the game wrote and is skipped unread. Ends early,
// between two chunks, once `stop` says so.
void forEachLine(QIODevice &device, qsizetype maxLineBytes,
                 const std::function<void(QByteArrayView)> &onLine, const std::function<bool()> &stop = {});

// Appends whole lines. If an earlier write was cut short and the file does not
// end in a line end, one is added first so the new line stands on its own. A
// write that fails part-way is cut back, so the file is as it was.
QString append(const QString &path, const QByteArray &lines);

struct Replacement
{
    QString path;
    QByteArray content;
};
// Replaces every file or none: each new content is written and flushed to disk
// beside its file first, and only when all of them are there do they take the
// old ones' places. A link keeps pointing at the replaced file. Where the folder
// takes no new file but the file itself is writable, it is rewritten in place,
// and put back as it was if that fails. `failedPath` names the file a failure
// concerns.
QString replaceAll(const QList<Replacement> &files, QString *failedPath = nullptr);
inline QString replace(const QString &path, const QByteArray &content)
{
    return replaceAll({{path, content}});
}

// Removes from `folder` what saves cut short left there: the ".NAME.XXXXXX"
// files replaceAll writes beside each of `names` before they take its place.
// Only regular files of this user with exactly that name go, never through a
// link. Call it only while no other copy of the game can be saving there.
void removeLeftovers(const QString &folder, const QStringList &names);

// Not a system error number: a FIFO, socket or the like where a file belongs.
constexpr int NotAFile = -1;

// The reason for a system error number, in Japanese, with the system's words.
QString reason(int errorNumber);

}
