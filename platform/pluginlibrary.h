#pragma once
#include <QString>
#include <functional>

// A library of the program's own from its plugins/ folder, loaded the first
// time it is needed. The file is checked before the system loader maps it (a
// library cut short would end the process at its first touch), every symbol is
// bound at once, and the library stays loaded for the life of the program.
// Returns the address of `symbol`, or null with the reason in words a player
// can be shown; `notOurs` is the reason for a whole library that lacks it.
// `beforeLoading` runs once the file passed, just before it is mapped.
void *loadPluginSymbol(const QString &path, const char *symbol, const QString &notOurs,
                       const std::function<void()> &beforeLoading, QString *reason);
