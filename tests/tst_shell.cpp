// Version window, web links, help and the name menu.
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "shell/frmabout.h"
#include "shell/frmweb.h"
#include "shell/helpwindow.h"
#include "shell/links.h"
#include "windowtestkit.h"

#include <QAction>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

// Catches what the real desktop would hand to the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl &url) { urls << url.toString(); }
};

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useDesignFont(); }

    void aboutCopiesTheAddressAndSaysSoOnEveryClosing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("OK") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Escape") << 2;
        QTest::newRow("close box") << 3;
    }
    void aboutCopiesTheAddressAndSaysSoOnEveryClosing()
    {
        QFETCH(int, how);
        FakeDesktop desktop;
        frmAbout about(desktop);
        for (int opening = 1; opening <= 2; ++opening) {
            whenModal([&](QWidget *) {
                QCOMPARE(desktop.clipboard, QStringList{Links::homePage()});
                QVERIFY(desktop.boxes.isEmpty());
                QCOMPARE(about.windowTitle(), QStringLiteral("Kolrinのﾊﾞｰｼﾞｮﾝ情報"));
                QCOMPARE(about.lblVersion()->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1  (2001/12/02)"));
                QCOMPARE(about.lblTitle()->text(), QStringLiteral("Ｋｏｌｒｉｎ　(Typing Zuvel)"));
                QVERIFY(about.descriptionText().endsWith(
                    "は常に\r\n   " + Links::homePage() + "\r\nにて公開されています。"));
                switch (how) {
                case 0: about.cmdOK()->click(); break;
                case 1: QTest::keyClick(&about, Qt::Key_Return); break;
                case 2: QTest::keyClick(&about, Qt::Key_Escape); break;
                default: about.close(); break;
                }
            });
            about.showModal();
            QVERIFY(!about.isVisible());
            QCOMPARE(desktop.boxes.size(), 1);
            QCOMPARE(desktop.boxes[0].kind, QStringLiteral("information"));
            QCOMPARE(desktop.boxes[0].title, QStringLiteral("Kolrin"));
            QCOMPARE(desktop.boxes[0].text, QStringLiteral(
                "タイプ練習ソフトRuzoのホームページのURLをクリップボードにコピーしました。"));
            desktop.boxes.clear();
            desktop.clipboard.clear();
        }
    }

    void clickingDescriptionOrIconCopiesAgain()
    {
        FakeDesktop desktop;
        frmAbout about(desktop);
        whenModal([&](QWidget *) {
            QTest::mouseClick(about.lblDescription(), Qt::LeftButton);
            QTest::mouseClick(about.picIcon(), Qt::LeftButton);
            QCOMPARE(desktop.clipboard.size(), 3);
            QVERIFY(desktop.boxes.isEmpty());
            about.cmdOK()->click();
        });
        about.showModal();
        QCOMPARE(desktop.clipboard, QStringList(3, Links::homePage()));
    }

    void webButtonsOpenTheirAddressesAndStayOpen()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QtDesktop desktop;
        frmWeb web(desktop);
        whenModal([&](QWidget *) {
            QCOMPARE(web.windowTitle(), QStringLiteral("Ruzo関連のURLにアクセスする"));
            QTRY_COMPARE(QApplication::focusWidget(), web.cmdBrowse(1));
            QCOMPARE(web.cmdBrowse(1)->nextInFocusChain(), web.cmdBrowse(2));
            QCOMPARE(web.cmdBrowse(2)->nextInFocusChain(), web.cmdBrowse(0));
            QVERIFY(web.webText().startsWith(QStringLiteral("　この画面では")));
            QVERIFY(web.webText().contains(
                QStringLiteral("できます。\r\n\r\n　例えば、「Ruzoのホームページ」をクリックすると、")
                + Links::homePage() + QStringLiteral("にアクセスします。")));
            for (int i : {0, 1, 2})
                web.cmdBrowse(i)->click();
            QTest::keyClick(&web, Qt::Key_Escape);
            QVERIFY(web.isVisible());
            web.cmdCancel()->click();
        });
        web.showModal();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls, (QStringList{Links::webButtonAddress(0), Links::homePage(),
                                            Links::webButtonAddress(2)}));
        QCOMPARE(QSet<QString>(catcher.urls.begin(), catcher.urls.end()).size(), 3);
    }

    void helpOpensAtItsContentsBesideTheGame()
    {
        HelpWindow help;
        help.open(QStringLiteral(KOLRIN_DATA_DIR "/Kolrin.hlp"));
        QVERIFY(help.isVisible());
        QVERIFY(!help.isModal());
        QCOMPARE(help.windowTitle(), help.browser()->documentTitle());
        QVERIFY(!help.windowTitle().isEmpty());
        QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("目次")));
        help.open(QStringLiteral(KOLRIN_DATA_DIR "/Kolrin.hlp"));
        QVERIFY(help.isVisible());
        QApplication::setActiveWindow(&help);
        QTest::keyClick(help.browser(), Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }

    void damagedHelpShowsWhatItCan_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe<html><title>x", 14) << false;
        QTest::newRow("cut short") << QByteArray("<html><head><title>T</title><body><table><tr><td>") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("over 256 KB") << QByteArray("<p>a b c d</p>\n").repeated(20000) << true;
        QTest::newRow("one 20 KB line") << QByteArray(20 << 10, 'x') << true;
        // Minified: tags, words and blanks, no line end.
        QByteArray page("<html><head><title>Kolrin</title></head><body>");
        while (page.size() < (32 << 10))
            page += "<h2>遊び方</h2><p>ローマ字を <b>入力</b> します。 Type the <i>romaji</i> shown, then Enter.</p>";
        QTest::newRow("a page of 32 KB on one line") << (page + "</body></html>") << false;
        QTest::newRow("24 KB, CR line ends") << QByteArray("<p>a b c d</p>\r").repeated(1600) << false;
        QTest::newRow("24 KB, CR LF line ends") << QByteArray("<p>a b c d</p>\r\n").repeated(1500) << false;
    }
    void damagedHelpShowsWhatItCan()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        ProgramFolder folder(false, false);
        folder.write("Kolrin.hlp", bytes);
        HelpWindow help;
        QElapsedTimer clock;
        clock.start();
        help.open(folder.file("Kolrin.hlp"));
        QVERIFY(help.isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QVERIFY(help.browser()->document()->size().height() > 0); // laid out, as it is to be drawn
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(help.browser()->toPlainText().startsWith(QStringLiteral("ヘルプファイル Kolrin.hlp は大きすぎるか")),
                 refused);
        help.open(folder.file("missing.hlp"));
        QCOMPARE(help.browser()->toPlainText(), QStringLiteral("ヘルプファイル missing.hlp が見つかりません。"));
    }

    void menusReachNameAndHelp()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nOld\r\n");
        Session s(folder, {QStringLiteral("New")});
        QVERIFY(s.loaded);
        s.window->show();
        QApplication::setActiveWindow(s.window.get());
        QTest::keyClick(s.window.get(), Qt::Key_F5);
        QCOMPARE(s.desktop.inputs.size(), 1);
        QCOMPARE(s.desktop.inputs[0].defaultText, QStringLiteral("Old"));
        QCOMPARE(s.window->playerName(), QStringLiteral("New"));
        s.window->mnuMokuji_Click();
        QCOMPARE(s.desktop.helpShown, QStringList{folder.file("Kolrin.hlp")});
        s.window->mnuNameOpt()->trigger();
        QVERIFY(s.shared.AskNameAtStart);
        s.window->mnuNameOpt()->trigger();
        QVERIFY(!s.shared.AskNameAtStart);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
