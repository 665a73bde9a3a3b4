#include "shell/options.h"

#include <QByteArrayView>
#include <QFile>
#include <QHash>
#include <QSettings>
#include <QTemporaryDir>

#include <optional>

namespace {
const QString Group = QStringLiteral("Options");
const QString FlexibleRomajiKey = QStringLiteral("FlexibleRomaji");
const QString StatusBarKey = QStringLiteral("StatusBar");
const QString PauseWhenInactiveKey = QStringLiteral("PauseWhenInactive");
const QString KeyboardKey = QStringLiteral("Keyboard");
const QString SoundKey = QStringLiteral("Sound");
const QString FocusWeakKeysKey = QStringLiteral("FocusWeakKeys");
const QString KanaInputKey = QStringLiteral("KanaInput");
const QString GameSummaryKey = QStringLiteral("GameSummary");
const QString LessonsKey = QStringLiteral("Lessons");

// QSettings reads and writes only named files, so the bytes pass through a
// private scratch copy; the real file is read and replaced by the caller with
// the checks every file of the game gets.
class Scratch
{
public:
    explicit Scratch(const QByteArray &bytes)
    {
        if (!m_dir.isValid())
            return;
        QFile file(path());
        m_ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    }
    bool ok() const { return m_ok; }
    QString path() const { return m_dir.filePath(QStringLiteral("Kolrin.ini")); }
    QByteArray bytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

bool isWord(QByteArrayView text, QByteArrayView more = {})
{
    for (const char c : text) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'
              || more.contains(c)))
            return false;
    }
    return true;
}

// The values of [Options] in a file of nothing but bare sections and
// `key=value` lines, as QSettings writes it; nothing when any line needs
// QSettings' own reading (quotes, escapes, blanks, comments, lists). A temporary
// folder costs the start of the game more than the rest of reading the file.
std::optional<QHash<QByteArray, QByteArray>> plainOptions(const QByteArray &bytes)
{
    QHash<QByteArray, QByteArray> values;
    bool inOptions = false;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (line.startsWith('[') && line.endsWith(']') && line.size() > 2) {
            const QByteArrayView name = line.sliced(1, line.size() - 2);
            if (!isWord(name))
                return std::nullopt;
            inOptions = name == "Options";
            continue;
        }
        const qsizetype sign = line.indexOf('=');
        if (sign <= 0 || !isWord(line.first(sign)) || !isWord(line.sliced(sign + 1), ".:/-"))
            return std::nullopt;
        if (inOptions)
            values.insert(line.first(sign).toByteArray(), line.sliced(sign + 1).toByteArray());
    }
    return values;
}
}

Options Options::fromIni(const QByteArray &bytes)
{
    // Only the word QSettings writes for on counts; anything else is off.
    const auto read = [](const auto &isOn) {
        Options options;
        options.flexibleRomaji = isOn(FlexibleRomajiKey);
        options.statusBar = isOn(StatusBarKey);
        options.pauseWhenInactive = isOn(PauseWhenInactiveKey);
        options.keyboard = isOn(KeyboardKey);
        options.sound = isOn(SoundKey);
        options.focusWeakKeys = isOn(FocusWeakKeysKey);
        options.kanaInput = isOn(KanaInputKey);
        options.gameSummary = isOn(GameSummaryKey);
        options.lessons = isOn(LessonsKey);
        return options;
    };
    if (const auto plain = plainOptions(bytes))
        return read([&plain](const QString &key) { return plain->value(key.toLatin1()) == "true"; });
    Scratch scratch(bytes);
    if (!scratch.ok())
        return Options();
    QSettings ini(scratch.path(), QSettings::IniFormat);
    ini.beginGroup(Group);
    return read([&ini](const QString &key) { return ini.value(key).toString() == QStringLiteral("true"); });
}

bool Options::toIni(const QByteArray &previous, QByteArray *out, QString *error) const
{
    Scratch scratch(previous);
    if (scratch.ok()) {
        QSettings ini(scratch.path(), QSettings::IniFormat);
        ini.beginGroup(Group);
        ini.setValue(FlexibleRomajiKey, flexibleRomaji);
        ini.setValue(StatusBarKey, statusBar);
        ini.setValue(PauseWhenInactiveKey, pauseWhenInactive);
        ini.setValue(KeyboardKey, keyboard);
        ini.setValue(SoundKey, sound);
        // Newer than the file of a player who never turned it on.
        if (focusWeakKeys || ini.contains(FocusWeakKeysKey))
            ini.setValue(FocusWeakKeysKey, focusWeakKeys);
        if (kanaInput || ini.contains(KanaInputKey))
            ini.setValue(KanaInputKey, kanaInput);
        if (gameSummary || ini.contains(GameSummaryKey))
            ini.setValue(GameSummaryKey, gameSummary);
        if (lessons || ini.contains(LessonsKey))
            ini.setValue(LessonsKey, lessons);
        ini.endGroup();
        ini.sync();
        if (ini.status() == QSettings::NoError) {
            *out = scratch.bytes();
            if (!out->isEmpty())
                return true;
        }
    }
    // QSettings will not write over a file it could not read: a damaged file
    // gives way to a clean one.
    if (!previous.isEmpty())
        return toIni(QByteArray(), out, error);
    if (error)
        *error = QStringLiteral("一時フォルダーに設定を書けません。");
    return false;
}
