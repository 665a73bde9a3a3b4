#pragma once
#include "shell/classsettings.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Where the class server is. No password field: libpq reads it from
// ~/.pgpass or the service file. "接続を確かめる" asks whoever listens to
// checkRequested and says what came back, or that nothing did within 5 s.
class ClassServerDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int CheckLimitMs = 5000;

    explicit ClassServerDialog(const ClassSettings &settings, QWidget *parent = nullptr);

    ClassSettings settings() const;
    // The answer to the last check; an empty message means it got in.
    void showCheckResult(const QString &message);

    QLineEdit *service() const { return m_service; }
    QLineEdit *host() const { return m_host; }
    QSpinBox *port() const { return m_port; }
    QLineEdit *database() const { return m_database; }
    QLineEdit *user() const { return m_user; }
    QLineEdit *className() const { return m_class; }
    QPushButton *checkButton() const { return m_check; }
    QLabel *checkResult() const { return m_result; }

signals:
    void checkRequested(const ClassSettings &settings);

private:
    void check();
    void updateButtons();

    QLineEdit *m_service;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_class;
    QPushButton *m_check;
    QPushButton *m_ok;
    QLabel *m_result;
    QTimer m_limit;
};
