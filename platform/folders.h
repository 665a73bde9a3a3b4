#pragma once
#include <QString>

// Where the game reads its files and where it writes the player's. A copy in a
// folder it may write to keeps everything beside itself; an installed copy,
// whose folder is read-only, writes Kolrin.cfg, Kolrin.ini, Kolrin.dat,
// KolrinR.dat and Kolrin.lock to the player's data folder, and prefers a
// Romaji.tbl found there to the one it ships. Every path ends in "/" or is a
// file.
struct Folders
{
    QString program; // the executable, Kolrin.hlp, the shipped Romaji.tbl
    QString data;    // the files the game writes
    QString table;   // the Romaji.tbl in use
    // False when neither folder takes the written files; `data` is then the
    // folder that was tried last.
    bool canSave = true;

    // Everything in one folder.
    static Folders single(const QString &dir);

    struct Facts
    {
        QString program;
        bool programTakesNewFile = false;
        bool programSettingsWritable = false; // a copy set up read-only on purpose
        QString data;
        bool dataWritable = false; // there or made, and takes a new file
        bool ownTable = false;
    };
    static Folders choose(const Facts &facts);

    // Gathers the facts. The data folder is looked at, and made when missing,
    // only when the program folder takes nothing; looking leaves no file behind.
    static Folders find(const QString &program, const QString &data);
};
