#pragma once
#include <QWidget>
#include <functional>

// The chart of progress as the main window sees it. The chart itself lives in
// a library of its own, plugins/libkolrin_progress.so in the program folder,
// loaded the first time the window is asked for: Qt Charts and the OpenGL
// libraries it brings would otherwise cost every start of the game about 3 ms,
// for a window most games never open.
class ProgressWindow : public QWidget
{
public:
    using QWidget::QWidget;

    // What the chart shows: the current mode's result file and the game database.
    struct Source
    {
        QString results;
        QString database; // empty: none
        bool kanaMode = false;
        bool kanaInput = false;
    };
    // The player's choice from the menu: shows the files with playerName chosen
    // and brings the window forward. While a game runs, a window already open
    // only rises, so the game keeps its keys.
    virtual void open(const Source &source, const QString &playerName, bool gameRunning) = 0;
    // Reads the files again for the player shown; never brings the window forward.
    virtual void reload(const Source &source) = 0;

    using Factory = ProgressWindow *(*)(QWidget *parent);
    // The window from the library in programDir; null when the library cannot
    // be used, with its path and, on a line of its own, the reason. The file is
    // checked before it is loaded, and beforeLoading runs just before the
    // system maps it: a library that passes may still be broken inside.
    static ProgressWindow *create(const QString &programDir, QWidget *parent, QString *error,
                                  const std::function<void()> &beforeLoading = {});
    // For a program that links the library itself (the tests): no loading.
    static void useFactory(Factory factory);
};

// What the library exports.
extern "C" ProgressWindow *kolrinCreateProgressWindow(QWidget *parent);
