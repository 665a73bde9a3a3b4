#include "platform/folders.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <unistd.h>

namespace {
const QString TableName = QStringLiteral("Romaji.tbl");

bool takesNewFile(const QString &dir)
{
    // Gone again when it goes out of scope (and never named at all where the
    // system offers unnamed files).
    QTemporaryFile probe(dir + QStringLiteral(".kolrin-probe-XXXXXX"));
    return probe.open();
}

bool isWritableFile(const QString &path)
{
    return TextFile::exists(path) && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}
}

Folders Folders::single(const QString &dir)
{
    return {dir, dir, dir + TableName, true};
}

Folders Folders::choose(const Facts &facts)
{
    if (facts.programTakesNewFile || facts.programSettingsWritable)
        return single(facts.program);
    return {facts.program, facts.data, (facts.ownTable ? facts.data : facts.program) + TableName,
            facts.dataWritable};
}

Folders Folders::find(const QString &program, const QString &data)
{
    Facts facts;
    facts.program = program;
    facts.data = data;
    facts.programTakesNewFile = takesNewFile(program);
    if (!facts.programTakesNewFile)
        facts.programSettingsWritable = isWritableFile(program + QStringLiteral("Kolrin.cfg"));
    if (!facts.programTakesNewFile && !facts.programSettingsWritable) {
        facts.dataWritable = QDir().mkpath(data) && takesNewFile(data);
        facts.ownTable = TextFile::exists(data + TableName);
    }
    return choose(facts);
}
