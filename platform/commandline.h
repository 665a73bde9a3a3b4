#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// What a start of the program asks for, decided before Qt opens a display:
// Qt aborts when it finds none, and --help and --version must answer in a
// terminal that has none, touching no file.
struct CommandLine
{
    enum Action { Play, Help, Version, BadArguments, NoDisplay };
    Action action = Play;
    QString text;        // for the terminal: stdout for Help and Version, else stderr
    QByteArray platform; // the Qt platform to ask for; empty leaves the choice to Qt

    struct Facts
    {
        QStringList arguments; // the program's name first
        QString version;
        QByteArray qpaPlatform;    // QT_QPA_PLATFORM
        QByteArray display;        // DISPLAY
        QByteArray waylandDisplay; // WAYLAND_DISPLAY, or WAYLAND_SOCKET
        bool waylandPlugin = false; // Qt's Wayland platform plugin is installed
    };
    static CommandLine choose(const Facts &facts);

    // None while the game is to start; 2 for arguments the program does not
    // take, as most commands have it.
    std::optional<int> exitStatus() const
    {
        switch (action) {
        case Play: return std::nullopt;
        case Help:
        case Version: return 0;
        case BadArguments: return 2;
        case NoDisplay: return 1;
        }
        return 1;
    }
};
