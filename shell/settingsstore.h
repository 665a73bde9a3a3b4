#pragma once
#include "shell/options.h"
#include "shell/settings.h"

#include <QString>

// Kolrin.cfg and Kolrin.ini in the folder the game writes to: read once at
// start-up, written together when the game closes. A file that is there but
// cannot be read is never written over in that session: the player's name and
// options in it would be lost for good, and a file that stays unreadable would
// bring the name question back at every start.
class SettingsStore
{
public:
    // `folder` ends in "/". With canSave false nothing is ever written.
    SettingsStore(const QString &folder, bool canSave);

    // Reads the files over the values given; a missing or unreadable file
    // leaves the defaults of Settings and Options.
    void load(Settings &settings, Options &options);
    // Said once at start-up when a file could not be read; empty otherwise.
    const QString &problem() const { return m_problem; }

    // Both files or neither; Kolrin.ini only once it exists or an option is on.
    // The reason of a failure, empty on success, with the file it concerns.
    QString save(const Settings &settings, const Options &options, QString *failedPath) const;

    QString cfgPath() const { return m_folder + QStringLiteral("Kolrin.cfg"); }
    QString iniPath() const { return m_folder + QStringLiteral("Kolrin.ini"); }

private:
    QString m_folder;
    bool m_canSave;
    bool m_keepCfg = false; // there but unreadable at start-up
    bool m_keepIni = false;
    QString m_problem;
};
