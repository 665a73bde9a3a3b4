#include "shell/classserverdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// Qt's driver puts these into libpq's connection string, where a blank or a
// semicolon would end the value: names of services, hosts, databases and roles
// do without them.
QLineEdit *plainField(const QString &text, QWidget *parent)
{
    auto *field = new QLineEdit(text, parent);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^\\s;'\"\\\\]*")), field));
    return field;
}
}

ClassServerDialog::ClassServerDialog(const ClassSettings &settings, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("クラスのサーバー"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_service = plainField(settings.service, this);
    m_service->setObjectName(QStringLiteral("service"));
    m_host = plainField(settings.host, this);
    m_host->setObjectName(QStringLiteral("host"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(QStringLiteral("既定 (5432)"));
    m_port->setValue(settings.port);
    m_database = plainField(settings.database, this);
    m_database->setObjectName(QStringLiteral("database"));
    m_user = plainField(settings.user, this);
    m_user->setObjectName(QStringLiteral("user"));
    m_class = new QLineEdit(settings.className, this);
    m_class->setObjectName(QStringLiteral("className"));
    m_class->setMaxLength(ClassSettings::MaxClassLength);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("サービス名(&S):"), m_service);
    form->addRow(QStringLiteral("またはホスト(&H):"), m_host);
    form->addRow(QStringLiteral("ポート(&P):"), m_port);
    form->addRow(QStringLiteral("データベース(&D):"), m_database);
    form->addRow(QStringLiteral("ユーザー(&U):"), m_user);
    form->addRow(QStringLiteral("クラス(&K):"), m_class);

    auto *note = new QLabel(QStringLiteral(
        "パスワードはここには入れません。~/.pgpass またはサービスファイル"
        " (~/.pg_service.conf) から読まれます。先生に聞いてください。"), this);
    note->setWordWrap(true);

    m_check = new QPushButton(QStringLiteral("接続を確かめる"), this);
    m_check->setObjectName(QStringLiteral("check"));
    m_check->setAutoDefault(false);
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("checkResult"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->setMinimumHeight(m_result->fontMetrics().lineSpacing() * 3);
    m_result->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_check, &QPushButton::clicked, this, &ClassServerDialog::check);
    for (QLineEdit *field : {m_service, m_host, m_class})
        connect(field, &QLineEdit::textChanged, this, &ClassServerDialog::updateButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(m_check, 0, Qt::AlignLeft);
    layout->addWidget(m_result);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    m_limit.setSingleShot(true);
    m_limit.setInterval(CheckLimitMs);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        m_result->setText(QStringLiteral("サーバーにつながりません\n5 秒待っても応答がありません。"));
        updateButtons();
    });
    updateButtons();
}

ClassSettings ClassServerDialog::settings() const
{
    ClassSettings settings;
    settings.service = m_service->text().trimmed();
    settings.host = m_host->text().trimmed();
    settings.port = m_port->value();
    settings.database = m_database->text().trimmed();
    settings.user = m_user->text().trimmed();
    settings.className = m_class->text().trimmed();
    return settings;
}

// Empty fields throughout mean no server: OK then takes the game off it.
void ClassServerDialog::updateButtons()
{
    const ClassSettings now = settings();
    m_check->setEnabled(now.isSet() && !m_limit.isActive());
}

void ClassServerDialog::check()
{
    m_result->setText(QStringLiteral("確かめています..."));
    m_limit.start();
    updateButtons();
    emit checkRequested(settings());
}

void ClassServerDialog::showCheckResult(const QString &message)
{
    // A late answer after the 5 s have been told.
    if (!m_limit.isActive())
        return;
    m_limit.stop();
    m_result->setText(message.isEmpty() ? QStringLiteral("つながりました。") : message);
    updateButtons();
}
