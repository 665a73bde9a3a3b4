#pragma once
#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a logout, a closed terminal, Ctrl+C) arrive as a
// Qt signal from the event loop, where closing the main window the normal way,
// settings saved, is safe. Nothing is done inside the system's handler but
// writing the signal's number to a pipe.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
