#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool TextFile::exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

TextFile::ReadResult TextFile::readAll(const QString &path, qint64 maxBytes)
{
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        result.error = file.errorString();
    else if (result.bytes.size() > maxBytes)
        result.error = QStringLiteral("ファイルが大きすぎます。");
    if (!result.ok())
        result.bytes.clear();
    return result;
}

QString TextFile::append(const QString &path, const QByteArray &lines)
{
    QByteArray out;
    {
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.size() > 0
            && existing.seek(existing.size() - 1)) {
            // A write cut between CR and LF only lacks the LF: a second CR would
            // end that record in CR CR LF, which no longer reads as one line.
            char last = 0;
            if (existing.getChar(&last) && last != '\n')
                out = last == '\r' ? "\n" : "\r\n";
        }
    }
    out += lines;

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return file.errorString();
    const bool written = file.write(out) == out.size() && file.flush();
    const QString error = written ? QString() : file.errorString();
    file.close();
    if (!error.isEmpty())
        return error;
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

void TextFile::forEachLine(QIODevice &device, qsizetype maxLineBytes,
                           const std::function<void(QByteArrayView)> &onLine)
{
    constexpr qint64 ChunkBytes = 1 << 18;
    QByteArray pending;
    bool skipping = false; // inside a line too long to be a record
    QByteArray chunk;
    for (;;) {
        chunk = device.read(ChunkBytes);
        if (chunk.isEmpty())
            break;
        qsizetype start = 0;
        for (;;) {
            const qsizetype nl = chunk.indexOf('\n', start);
            if (nl < 0)
                break;
            const QByteArrayView piece = QByteArrayView(chunk).sliced(start, nl - start);
            if (!skipping) {
                if (pending.isEmpty()) {
                    onLine(piece);
                } else {
                    pending += piece;
                    onLine(pending);
                    pending.clear();
                }
            }
            skipping = false;
            start = nl + 1;
        }
        if (!skipping) {
            pending += QByteArrayView(chunk).sliced(start);
            if (pending.size() > maxLineBytes) {
                pending.clear();
                pending.squeeze();
                skipping = true;
            }
        }
    }
    if (!skipping && !pending.isEmpty())
        onLine(pending);
}

namespace {
// A device or pipe at the path (a link to one included) is written in place:
// swapping a temporary file in would replace the device itself.
QString writeInPlace(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    if (file.write(content) != content.size() || !file.flush())
        return file.errorString();
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}
}

QString TextFile::replace(const QString &path, const QByteArray &content)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return writeInPlace(path, content);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(content) != content.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
