// Every text a window shows, at the longest it can be, fits its widget in the
// fonts the program uses: nothing is cut ("Level 23" once showed as "Level 2").
#include "game/fieldview.h"
#include "game/kana.h"
#include "game/romajitable.h"
#include "game/typingstats.h"
#include "platform/cp932.h"
#include "platform/keyboardview.h"
#include "records/frmbest.h"
#include "shell/frmabout.h"
#include "shell/frmweb.h"
#include "windowtestkit.h"

#include <QInputDialog>
#include <QLibraryInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>

namespace {

QString describe(const QWidget *w)
{
    return w->window()->windowTitle() + u'/' + w->objectName() + u'/' + w->metaObject()->className();
}

// The ink of one line of text, placed in `area` as a label or button places
// it, must stay inside `clip`, where the widget's painting stops. Half a pixel
// of antialiasing past the edge is no cut.
bool inkFits(const QFont &font, const QString &text, const QRect &area, const QRect &clip,
             Qt::Alignment align)
{
    const QFontMetricsF metrics(font);
    const QRect line = QStyle::alignedRect(
        Qt::LeftToRight, align,
        QSize(qCeil(metrics.horizontalAdvance(text)), qCeil(metrics.height())), area);
    const QRectF ink = metrics.tightBoundingRect(text).translated(line.left(), line.top() + metrics.ascent());
    return QRectF(clip).adjusted(-0.5, -0.5, 0.5, 0.5).contains(ink);
}

QString labelProblem(const QLabel *label)
{
    const QString text = label->text();
    const QRect area = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    const QFontMetrics metrics(label->font());
    if (label->wordWrap() || text.contains(u'\n')) {
        const QRect need = metrics.boundingRect(
            area, int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0), text);
        if (need.width() <= area.width() && need.height() <= area.height())
            return {};
        return QStringLiteral("%1: needs %2x%3 in %4x%5")
            .arg(describe(label)).arg(need.width()).arg(need.height()).arg(area.width()).arg(area.height());
    }
    if (inkFits(label->font(), text, area, label->rect(), label->alignment()))
        return {};
    return QStringLiteral("%1: \"%2\" needs %3x%4 px in %5x%6")
        .arg(describe(label), text)
        .arg(metrics.horizontalAdvance(text)).arg(metrics.height())
        .arg(label->width()).arg(label->height());
}

QString buttonProblem(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    QString text = button->text();
    text.remove(u'&');
    if (inkFits(button->font(), text, area, area, Qt::AlignCenter))
        return {};
    return QStringLiteral("%1: \"%2\" does not fit %3x%4")
        .arg(describe(button), text).arg(area.width()).arg(area.height());
}

QString listProblem(const QListWidget *list)
{
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.widget = list;
    for (int row = 0; row < list->count(); ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        const int need = list->itemDelegate()->sizeHint(option, index).width();
        if (need > list->viewport()->width())
            return QStringLiteral("%1: line %2 needs %3 px in %4")
                .arg(describe(list)).arg(row + 1).arg(need).arg(list->viewport()->width());
    }
    return {};
}

QString menuBarProblem(const QMenuBar *bar)
{
    for (QAction *action : bar->actions()) {
        const QRect place = bar->actionGeometry(action);
        if (place.isEmpty() || !bar->rect().contains(place))
            return QStringLiteral("%1: \"%2\" is not on the bar").arg(describe(bar), action->text());
    }
    return {};
}

QString fieldProblem(const FieldView *field)
{
    const QRectF ink = field->inkBounds();
    const QRectF surface(QPointF(0, 0), field->image().deviceIndependentSize());
    if (surface.adjusted(-0.5, -0.5, 0.5, 0.5).contains(ink))
        return {};
    return describe(field) + QStringLiteral(": letters reach %1,%2 to %3,%4 on a %5x%6 surface")
        .arg(ink.left()).arg(ink.top()).arg(ink.right()).arg(ink.bottom())
        .arg(surface.width()).arg(surface.height());
}

QString menuProblem(const QMenu *menu)
{
    for (QAction *action : menu->actions()) {
        // A hidden item takes no room and shows no text.
        if (!action->isVisible())
            continue;
        const QString text = QString(action->text()).remove(u'&');
        if (QFontMetrics(menu->font()).horizontalAdvance(text) > menu->actionGeometry(action).width())
            return describe(menu) + QStringLiteral(": \"%1\" does not fit").arg(text);
    }
    return {};
}

QString keyboardProblem(const KeyboardView *keyboard)
{
    for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
        const QRect rect = keyboard->keyRect(key.key).toAlignedRect();
        const QString cap = KeyboardView::capOf(key.key);
        if (!keyboard->rect().contains(rect)
            || (!cap.isEmpty() && !inkFits(keyboard->capFont(), cap, rect, rect, Qt::AlignCenter)))
            return describe(keyboard) + QStringLiteral(": the key %1 or its cap does not fit").arg(key.key);
    }
    return {};
}

QStringList fitProblems(QWidget *top)
{
    QStringList problems;
    const auto add = [&problems](const QString &problem) {
        if (!problem.isEmpty())
            problems << problem;
    };
    for (const QLabel *label : top->findChildren<QLabel *>()) {
        if (label->isVisibleTo(top) && !label->text().isEmpty())
            add(labelProblem(label));
    }
    for (const QPushButton *button : top->findChildren<QPushButton *>()) {
        if (button->isVisibleTo(top))
            add(buttonProblem(button));
    }
    for (const QListWidget *list : top->findChildren<QListWidget *>())
        add(listProblem(list));
    for (const QMenuBar *bar : top->findChildren<QMenuBar *>())
        add(menuBarProblem(bar));
    for (const FieldView *field : top->findChildren<FieldView *>())
        add(fieldProblem(field));
    for (const QMenu *menu : top->findChildren<QMenu *>())
        add(menuProblem(menu));
    for (const KeyboardView *keyboard : top->findChildren<KeyboardView *>())
        add(keyboardProblem(keyboard));
    return problems;
}

void checkFits(QWidget *top)
{
    const QStringList problems = fitProblems(top);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

// The shipped entry whose kana is widest in the large label.
QByteArray widestShippedEntry()
{
    QFile file(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    RomajiTable::Error error;
    const RomajiTable table = RomajiTable::parse(Cp932::decode(file.readAll()), &error);
    const QFontMetrics metrics(Dialogs::japaneseFont(72));
    int widest = 1;
    for (int i = 2; i < table.RomaCount; ++i) {
        if (metrics.horizontalAdvance(HanToZen(table.KanaList[i]))
            > metrics.horizontalAdvance(HanToZen(table.KanaList[widest])))
            widest = i;
    }
    return Cp932::encode(table.KanaList[widest] + u"\r\n@\r\n"_qs + table.RomaList[widest] + u"\r\n@\r\n"_qs);
}

} // namespace

class TestTextFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useDesignFont(); }

    // Steps after the first key: pause, then count down through 3, 2, 1.
    void mainWindowTextsFit_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<int>("pauseSteps");
        const QByteArray ka("\xb6\r\n@\r\nKA\r\n@\r\n");
        QTest::newRow("widest shipped kana") << widestShippedEntry() << QByteArray() << 0;
        QTest::newRow("wide capitals WWW") << QByteArray("\xb3\r\n@\r\nWWW\r\n@\r\n") << QByteArray() << 0;
        QTest::newRow("wide capitals MMM") << QByteArray("\xb3\r\n@\r\nMMM\r\n@\r\n") << QByteArray() << 0;
        QTest::newRow("J reaching left, Q below") << QByteArray("\xb3\r\n@\r\nJQW\r\n@\r\n") << QByteArray()
                                                  << 0;
        QTest::newRow("keyboard caps") << ka << QByteArray("[Options]\nKeyboard=true\nSound=true\n") << 0;
        QTest::newRow("pause and its hint") << ka << QByteArray() << 1;
        QTest::newRow("count 3") << ka << QByteArray() << 2;
        QTest::newRow("count 2") << ka << QByteArray() << 3;
        QTest::newRow("count 1") << ka << QByteArray() << 4;
    }
    void mainWindowTextsFit()
    {
        QFETCH(QByteArray, table);
        QFETCH(QByteArray, options);
        QFETCH(int, pauseSteps);
        ProgramFolder folder;
        folder.write("Romaji.tbl", table);
        folder.write("Kolrin.cfg", "False\r\nTrue\r\n\r\n");
        folder.write("Kolrin.ini", options);
        Session s(folder);
        QVERIFY(s.loaded);
        s.window->show();
        QVERIFY(!s.window->lblKana()->text().isEmpty());
        checkFits(s.window.get());
        // The typed part in green sits on the same narrowed letters.
        QTest::keyClick(s.window->txtType(), s.window->currentRomaji()[0].toLower().toLatin1());
        checkFits(s.window.get());
        if (pauseSteps == 0)
            return;
        s.window->mnuStart_Click();
        s.window->mnuPause()->trigger();
        if (pauseSteps > 1)
            s.window->mnuPause()->trigger();
        for (int step = 2; step < pauseSteps; ++step)
            s.window->tmrCount_Timer();
        QVERIFY(!s.window->picPrint()->printed().isEmpty());
        checkFits(s.window.get());
        s.window->timer().stop();
    }

    // The status bar at the widest figures a game can reach.
    void statusBarFitsItsWidestLine()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\n\r\n");
        folder.write("Kolrin.ini", "[Options]\nStatusBar=true\n");
        Session s(folder);
        QVERIFY(s.loaded);
        s.window->show();
        TypingStats widest;
        widest.start(0);
        for (int n = 0; n < 99999; ++n) {
            widest.accepted();
            widest.missed();
        }
        auto *status = s.window->findChild<QLabel *>(QStringLiteral("lblStatus"));
        QVERIFY(status);
        Dialogs::setFittedText(status, widest.statusText(32767, 6000));
        QVERIFY(status->text().contains(u"99999"_qs));
        checkFits(s.window.get());
    }

    void gameOverTextsFit_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("kana");
        QTest::newRow("level 9") << 9 << false;
        QTest::newRow("level 23") << 23 << false;
        QTest::newRow("level 32767") << 32767 << false;
        for (int level : {1, 21, 30, 36, 41})
            QTest::addRow("kana level %d", level) << level << true;
    }
    void gameOverTextsFit()
    {
        QFETCH(int, level);
        QFETCH(bool, kana);
        ZuvelM shared;
        shared.FinalLevel = std::int16_t(level);
        shared.RomajiMode = kana;
        frmReplay dialog(shared);
        whenModal([&](QWidget *) {
            checkFits(&dialog);
            dialog.cmdEnd()->click();
        });
        dialog.showModal();
        QVERIFY(dialog.lblMes(2)->text().endsWith(QString::number(level)));
    }

    void rankingOfTheWidestLinesFits()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\n\r\n");
        QByteArray file;
        for (int n = 0; n < 31; ++n)
            file += Cp932::encode(u"32767,\"山田山田山田山\",\"2001/12/02 21:05\"\r\n"_qs);
        folder.write("Kolrin.dat", file);
        Session s(folder);
        QVERIFY(s.loaded);
        whenModal([&](QWidget *modal) {
            QCOMPARE(qobject_cast<frmBest *>(modal)->lstBest()->count(), 30);
            checkFits(modal);
            modal->close();
        });
        s.window->mnuBest_Click();
    }

    void versionAndLinksWindowsFit()
    {
        FakeDesktop desktop;
        frmAbout about(desktop);
        whenModal([&](QWidget *) {
            checkFits(&about);
            about.cmdOK()->click();
        });
        about.showModal();
        frmWeb web(desktop);
        whenModal([&](QWidget *) {
            checkFits(&web);
            web.cmdCancel()->click();
        });
        web.showModal();
    }

    // The boxes the program really shows, built as the real desktop builds them.
    void boxTextsFit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        FakeDesktop seen;
        const auto told = [&seen](const ProgramFolder &folder) {
            FakeDesktop desktop;
            ZuvelM shared;
            frmZuvel window(shared, desktop, folder.path());
            window.Form_Load();
            seen.boxes += desktop.boxes;
            seen.inputs += desktop.inputs;
        };
        {
            ProgramFolder folder;
            Session first(folder, {QString()});
            told(folder);
        }
        told(ProgramFolder(false, true));
        told(ProgramFolder(true, false));
        {
            ProgramFolder folder;
            folder.write("Romaji.tbl", "\xdd\r\n@\r\nN\r\n@\r\n");
            told(folder);
        }
        {
            ProgramFolder folder;
            QDir().mkdir(folder.file("Kolrin.cfg"));
            QDir().mkdir(folder.file("Kolrin.dat"));
            Session s(folder, {QString()});
            s.playToTheEnd();
            s.window->close();
            seen.boxes += s.desktop.boxes;
            seen.inputs += s.desktop.inputs;
        }
        {
            FakeDesktop desktop;
            frmAbout about(desktop);
            whenModal([&](QWidget *) { about.cmdOK()->click(); });
            about.showModal();
            seen.boxes += desktop.boxes;
        }
        QCOMPARE(seen.boxes.size(), 7);
        for (const FakeDesktop::Box &box : std::as_const(seen.boxes))
            QTest::newRow(qPrintable(box.text.left(12))) << box.text << box.title;
        QVERIFY(!seen.inputs.isEmpty());
        QTest::newRow("name box") << seen.inputs[0].prompt << QString();
    }
    void boxTextsFit()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        std::unique_ptr<QDialog> box;
        if (title.isEmpty())
            box = QtDesktop::inputDialog(nullptr, text, QStringLiteral("名前の入力"), QString());
        else
            box = QtDesktop::messageBox(nullptr, QMessageBox::Critical, text, title);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        checkFits(box.get());
    }

    void standardButtonsReadJapanese()
    {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_ja.qm"_qs))
            QSKIP("qtbase_ja.qm is not installed (package qt6-translations-l10n): Qt's buttons stay English");
        const auto box = QtDesktop::inputDialog(nullptr, QStringLiteral("?"), QStringLiteral("?"), {});
        box->show();
        QStringList texts;
        for (const QPushButton *button : box->findChildren<QPushButton *>())
            texts << button->text();
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
