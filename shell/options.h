#pragma once
#include <QByteArray>
#include <QString>

// Kolrin.ini: the options Kolrin.cfg has no line for (other programs read its
// three lines as they are), in QSettings' INI format:
//   [Options]
//   FlexibleRomaji=true|false
//   StatusBar=true|false
//   PauseWhenInactive=true|false
//   Keyboard=true|false
//   Sound=true|false
//   FocusWeakKeys=true|false     written only once it was on
//   KanaInput=true|false         written only once it was on
//   GameSummary=true|false       written only once it was on
//   Lessons=true|false           written only once it was on
// Missing or damaged values fall back to the defaults, all off. Keys and groups
// this version does not know are kept when the file is written again.
struct Options
{
    bool flexibleRomaji = false;
    bool statusBar = false;
    bool pauseWhenInactive = false;
    bool keyboard = false;
    bool sound = false;
    bool focusWeakKeys = false;
    bool kanaInput = false;
    bool gameSummary = false;
    bool lessons = false;

    bool isDefault() const
    {
        return !flexibleRomaji && !statusBar && !pauseWhenInactive && !keyboard && !sound
            && !focusWeakKeys && !kanaInput && !gameSummary && !lessons;
    }

    static Options fromIni(const QByteArray &bytes);
    // The file `previous` with these options written over it; false, with the
    // reason, when QSettings could not produce it.
    bool toIni(const QByteArray &previous, QByteArray *out, QString *error) const;
};
