#include "game/frmzuvel.h"

#include <QMenuBar>

// The menu bar: the game's own items, then one check item per option of
// Kolrin.ini.
void frmZuvel::buildMenus()
{
    QMenu *game = menuBar()->addMenu(QStringLiteral("ｹﾞｰﾑ(&G)"));
    game->addAction(QStringLiteral("ｹﾞｰﾑの開始"), QKeySequence(Qt::Key_F2), this, &frmZuvel::mnuStart_Click);
    m_mnuPause = game->addAction(QStringLiteral("一時停止(&P)"), Qt::Key_Escape, this, &frmZuvel::mnuPause_Click);
    m_mnuPause->setEnabled(false);
    game->addAction(QStringLiteral("名前の入力(&N)"), QKeySequence(Qt::Key_F5), this, &frmZuvel::mnuName_Click);
    game->addAction(QStringLiteral("ｹﾞｰﾑの終了(&X)"), this, &frmZuvel::mnuEnd_Click);

    QMenu *view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addAction(QStringLiteral("成績順の表示"), this, &frmZuvel::mnuBest_Click);
    view->addAction(QStringLiteral("成績の推移(&P)"), this, &frmZuvel::mnuProgress_Click);
    QAction *classRanking = view->addAction(QStringLiteral("クラスのランキング(&C)"));
    view->addSeparator();
    m_mnuStatusBar = addOption(view, QStringLiteral("ステータスバー(&S)"), &Options::statusBar);
    m_mnuKeyboard = addOption(view, QStringLiteral("キーボード(&K)"), &Options::keyboard);

    QMenu *option = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    m_mnuRoma = option->addAction(QStringLiteral("ローマ字"), this, &frmZuvel::mnuRoma_Click);
    m_mnuRoma->setCheckable(true);
    m_mnuNameOpt = option->addAction(QStringLiteral("起動時の名前問い合わせ"), this, &frmZuvel::mnuNameOpt_Click);
    m_mnuNameOpt->setCheckable(true);
    m_mnuNameOpt->setChecked(true);
    option->addSeparator();
    m_mnuFlexible = addOption(option, QStringLiteral("ローマ字の別のつづりも受け付ける"),
                              &Options::flexibleRomaji);
    m_mnuPauseInactive = addOption(option, QStringLiteral("ウィンドウを離れたら一時停止"),
                                   &Options::pauseWhenInactive);
    m_mnuSound = addOption(option, QStringLiteral("効果音を鳴らす"), &Options::sound);
    m_mnuFocusWeakKeys =
        addOption(option, QStringLiteral("苦手なキーを多めに出す"), &Options::focusWeakKeys);
    addOption(option, QStringLiteral("かな入力"), &Options::kanaInput);
    m_mnuGameSummary =
        addOption(option, QStringLiteral("ゲームの後にまとめを表示"), &Options::gameSummary);
    m_mnuLessons = addOption(option, QStringLiteral("キーを順に覚える"), &Options::lessons);
    m_class.setActions(option->addAction(QStringLiteral("クラスのサーバー(&C)...")), classRanking);

    QMenu *help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addAction(QStringLiteral("目次(&C)"), this, &frmZuvel::mnuMokuji_Click);
    help->addAction(QStringLiteral("ｲﾝﾀｰﾈｯﾄに接続"), this, &frmZuvel::mnuNet_Click);
    help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), this, &frmZuvel::mnuVer_Click);
}

// A check item for one of Kolrin.ini's options; its mark follows the option.
QAction *frmZuvel::addOption(QMenu *menu, const QString &text, bool Options::*option)
{
    QAction *action = menu->addAction(text);
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, option](bool on) {
        m_options.*option = on;
        ApplyOptions();
    });
    connect(this, &frmZuvel::optionsApplied, action,
            [this, action, option] { action->setChecked(m_options.*option); });
    return action;
}
