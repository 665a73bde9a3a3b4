#include "records/frmclassbest.h"

#include "platform/dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QTreeWidget *rankingList(const QString &name, QWidget *parent)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("順位"), QStringLiteral("レベル"), QStringLiteral("名前"),
                           QStringLiteral("日付")});
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    return list;
}

// Equal levels share a place; the next one counts those before it.
void fill(QTreeWidget *list, const QList<ClassServer::Row> &rows)
{
    list->clear();
    int place = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (i == 0 || rows[i].level != rows[i - 1].level)
            place = i + 1;
        auto *item = new QTreeWidgetItem(list, {QString::number(place), QString::number(rows[i].level),
                                                rows[i].player, rows[i].endedAt});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}
}

frmClassBest::frmClassBest(const ClassSettings &settings, const QString &mode, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_mode(mode)
{
    setWindowTitle(QStringLiteral("クラスのランキング"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *title = new QLabel(QStringLiteral("%1 ・ %2").arg(settings.className,
        mode == u"letters" ? QStringLiteral("アルファベット")
        : mode == u"kanainput" ? QStringLiteral("かな入力") : QStringLiteral("ローマ字")), this);
    title->setObjectName(QStringLiteral("classTitle"));
    title->setFont(Dialogs::japaneseFont(11, true));

    m_periods = new QButtonGroup(this);
    auto *periodRow = new QHBoxLayout;
    const std::pair<ClassReader::Period, QString> periods[] = {
        {ClassReader::Period::Week, QStringLiteral("今週")},
        {ClassReader::Period::Month, QStringLiteral("今月")},
        {ClassReader::Period::All, QStringLiteral("すべて")}};
    for (const auto &[period, text] : periods) {
        auto *button = new QRadioButton(text, this);
        m_periods->addButton(button, int(period));
        periodRow->addWidget(button);
    }
    periodRow->addStretch();
    m_periods->button(int(ClassReader::Period::All))->setChecked(true);
    connect(m_periods, &QButtonGroup::idClicked, this,
            [this](int id) { load(ClassReader::Period(id), QDateTime::currentDateTime()); });

    m_best = rankingList(QStringLiteral("best"), this);
    m_players = rankingList(QStringLiteral("players"), this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(periodRow);
    layout->addWidget(new QLabel(QStringLiteral("ベスト30"), this));
    layout->addWidget(m_best, 3);
    layout->addWidget(new QLabel(QStringLiteral("各プレイヤーの最高"), this));
    layout->addWidget(m_players, 2);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(460, 560);

    connect(&m_reader, &ClassReader::rankingRead, this, &frmClassBest::showRanking);
}

QRadioButton *frmClassBest::periodButton(ClassReader::Period period) const
{
    return static_cast<QRadioButton *>(m_periods->button(int(period)));
}

void frmClassBest::load(ClassReader::Period period, const QDateTime &now)
{
    periodButton(period)->setChecked(true);
    m_status->setText(QStringLiteral("読み込み中..."));
    m_reader.readRanking(m_settings, m_mode,
                         ClassReader::since(period, now));
}

void frmClassBest::showRanking(const ClassServer::Ranking &ranking, const QString &message)
{
    if (!message.isEmpty()) {
        m_best->clear();
        m_players->clear();
        m_status->setText(message);
        return;
    }
    fill(m_best, ranking.best);
    fill(m_players, ranking.players);
    m_status->setText(ranking.best.isEmpty() ? QStringLiteral("まだ記録がありません。") : QString());
}

void frmClassBest::showModal()
{
    load(ClassReader::Period(m_periods->checkedId()), QDateTime::currentDateTime());
    Dialogs::centreOnScreen(this);
    exec();
}
