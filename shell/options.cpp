#include "shell/options.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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

bool flag(const QSettings &ini, const QString &key)
{
    // Only the words QSettings writes count; anything else is the default.
    return ini.value(key).toString() == QStringLiteral("true");
}
}

Options Options::fromIni(const QByteArray &bytes)
{
    Options options;
    Scratch scratch(bytes);
    if (!scratch.ok())
        return options;
    QSettings ini(scratch.path(), QSettings::IniFormat);
    ini.beginGroup(Group);
    options.flexibleRomaji = flag(ini, FlexibleRomajiKey);
    options.statusBar = flag(ini, StatusBarKey);
    options.pauseWhenInactive = flag(ini, PauseWhenInactiveKey);
    options.keyboard = flag(ini, KeyboardKey);
    options.sound = flag(ini, SoundKey);
    options.focusWeakKeys = flag(ini, FocusWeakKeysKey);
    options.kanaInput = flag(ini, KanaInputKey);
    options.gameSummary = flag(ini, GameSummaryKey);
    options.lessons = flag(ini, LessonsKey);
    return options;
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
