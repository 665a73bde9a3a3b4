#pragma once
#include <optional>

// Answers the command line, and checks that there is a display to open,
// before QApplication exists: Qt aborts without a display. Prints any answer;
// returns the exit status when the program is to end without a window.
std::optional<int> answerBeforeWindows(int argc, char *argv[]);
