#pragma once
#include <optional>

// Answers the command line, and checks that there is a display to open,
// before QApplication exists: Qt aborts without a display. Prints any answer;
// returns the exit status when the program is to end without a window.
std::optional<int> answerBeforeWindows(int argc, char *argv[]);

// Held while QApplication is made. Qt aborts, leaving a core dump, when the
// platform it is given or finds cannot be opened (a display that is gone, a
// plugin that does not exist); under the guard that ends the program with one
// line on stderr, saying why, and status 1. What Qt says meanwhile waits, and
// is let through once the application stands.
class PlatformGuard
{
public:
    PlatformGuard();
    ~PlatformGuard();
    PlatformGuard(const PlatformGuard &) = delete;
    PlatformGuard &operator=(const PlatformGuard &) = delete;

    void release();
};
