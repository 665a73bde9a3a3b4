#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

// Kolrin.cfg, CP932, three lines each ended by CR LF:
//   1  "True" or "False": ask the player's name at start-up
//   2  "True" or "False": kana prompts (romaji mode)
//   3  the player's name
// Lines are read as comma-delimited fields. Line 1 switches the question off
// only when it contains "False", line 2 switches kana on only when it contains
// "True" (case-sensitive substring tests), so a garbled file falls back to the
// defaults. A name with a comma, a leading blank or a leading quote is written
// in quotes so that it reads back whole.
struct Settings
{
    bool askNameAtStart = true;
    bool romajiMode = false;
    QString playerName;

    // Applies a settings file over the values held: what the file lacks keeps
    // the value it had, except that kana mode is off unless line 2 says True.
    void applyFile(QStringView text);
    // Settings when the file exists but cannot be read.
    void applyUnreadableFile();

    QByteArray toFile() const;
};
