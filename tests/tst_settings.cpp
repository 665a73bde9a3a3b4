#include "shell/options.h"
#include "shell/settings.h"
#include "shell/settingsstore.h"

#include "platform/cp932.h"

#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void savedFileReadsBack_data();
    void savedFileReadsBack();
    void savedFileBytes_data();
    void savedFileBytes();
    void garbledFileFallsBackPerLine_data();
    void garbledFileFallsBackPerLine();
    void unreadableFileKeepsOnlyTheName();
    void optionsFileReadsAndKeepsWhatItDoesNotKnow_data();
    void optionsFileReadsAndKeepsWhatItDoesNotKnow();
    void storeWritesWhatTheGameHolds_data();
    void storeWritesWhatTheGameHolds();
};

namespace {
Settings held()
{
    // The opposite of what a fresh program holds, so that nothing passes by
    // leaving a value alone.
    Settings s;
    s.askNameAtStart = false;
    s.romajiMode = true;
    s.playerName = QStringLiteral("Held");
    return s;
}

Settings settings(bool askName, bool romaji, const QString &name)
{
    Settings s;
    s.askNameAtStart = askName;
    s.romajiMode = romaji;
    s.playerName = name;
    return s;
}
}

void TestSettings::savedFileReadsBack_data()
{
    QTest::addColumn<bool>("askName");
    QTest::addColumn<bool>("romaji");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("ask on, romaji off") << true << false << "Taro" << "Taro";
    QTest::newRow("ask on, romaji on") << true << true << "Taro" << "Taro";
    QTest::newRow("ask off, romaji off") << false << false << "Taro" << "Taro";
    QTest::newRow("ask off, romaji on") << false << true << "Taro" << "Taro";
    QTest::newRow("empty name") << true << false << "" << "";
    QTest::newRow("comma") << true << false << "Player1,TeamA" << "Player1,TeamA";
    QTest::newRow("two leading blanks") << true << false << "  Taro" << "  Taro";
    QTest::newRow("only blanks") << true << false << "   " << "   ";
    QTest::newRow("trailing blanks") << true << false << "Taro  " << "Taro  ";
    QTest::newRow("quote in the middle") << true << false << "Ta\"ro" << "Ta\"ro";
    // A quoted field cannot hold a quote, so it comes back as its look-alike.
    QTest::newRow("leading quote") << true << false << "\"Taro\"" << u"”Taro”"_qs;
    QTest::newRow("comma and quote") << true << false << "a,\"b\"" << u"a,”b”"_qs;
    QTest::newRow("kanji") << false << true << u"山田太郎"_qs << u"山田太郎"_qs;
    QTest::newRow("half-width kana") << false << true << u"ﾀﾛｳ"_qs << u"ﾀﾛｳ"_qs;
    QTest::newRow("line end inside") << true << false << "Ta\r\nro" << "Ta  ro";
}

void TestSettings::savedFileReadsBack()
{
    QFETCH(bool, askName);
    QFETCH(bool, romaji);
    QFETCH(QString, name);
    QFETCH(QString, readBack);

    const Settings saved = settings(askName, romaji, name);
    Settings loaded = held();
    loaded.askNameAtStart = !askName;
    loaded.romajiMode = !romaji;
    loaded.applyFile(Cp932::decode(saved.toFile()));
    QCOMPARE(loaded.askNameAtStart, askName);
    QCOMPARE(loaded.romajiMode, romaji);
    QCOMPARE(loaded.playerName, readBack);
}

void TestSettings::savedFileBytes_data()
{
    QTest::addColumn<bool>("askName");
    QTest::addColumn<bool>("romaji");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("plain name unquoted") << false << true << "Taro" << QByteArray("False\r\nTrue\r\nTaro\r\n");
    QTest::newRow("empty name empty line") << true << false << "" << QByteArray("True\r\nFalse\r\n\r\n");
    QTest::newRow("comma quoted") << true << true << "Player1,TeamA"
                                  << QByteArray("True\r\nTrue\r\n\"Player1,TeamA\"\r\n");
    QTest::newRow("leading blanks quoted") << false << false << "  Taro"
                                           << QByteArray("False\r\nFalse\r\n\"  Taro\"\r\n");
    QTest::newRow("inner quote as it stands") << true << false << "Ta\"ro"
                                              << QByteArray("True\r\nFalse\r\nTa\"ro\r\n");
    QTest::newRow("kanji in cp932") << true << true << u"山田"_qs
                                    << QByteArray("True\r\nTrue\r\n\x8e\x52\x93\x63\r\n");
}

void TestSettings::savedFileBytes()
{
    QFETCH(bool, askName);
    QFETCH(bool, romaji);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);

    QCOMPARE(settings(askName, romaji, name).toFile(), bytes);
}

void TestSettings::garbledFileFallsBackPerLine_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("askName");
    QTest::addColumn<bool>("romaji");
    QTest::addColumn<QString>("name");

    QTest::newRow("lower-case false") << "false\r\nTrue\r\nTaro\r\n" << true << true << "Taro";
    QTest::newRow("empty first line") << "\r\nTrue\r\nTaro\r\n" << true << true << "Taro";
    QTest::newRow("capital TRUE") << "False\r\nTRUE\r\nTaro\r\n" << false << false << "Taro";
    QTest::newRow("numeric -1") << "False\r\n-1\r\nTaro\r\n" << false << false << "Taro";
    QTest::newRow("NotFalse contains False") << "NotFalse\r\nFalse\r\nTaro\r\n" << false << false << "Taro";
    QTest::newRow("NotTrue contains True") << "True\r\nNotTrue\r\nTaro\r\n" << true << true << "Taro";
    QTest::newRow("no second line") << "False\r\n" << false << false << "Held";
    QTest::newRow("no third line") << "False\r\nTrue\r\n" << false << true << "Held";
    QTest::newRow("empty file") << "" << true << false << "Held";
    QTest::newRow("hand-edited comma") << "True\r\nFalse\r\nPlayer1,TeamA\r\n" << true << false << "Player1";
    QTest::newRow("hand-edited blanks") << "True\r\nFalse\r\n  Taro\r\n" << true << false << "Taro";
    QTest::newRow("LF only") << "False\nTrue\nTaro\n" << false << true << "Taro";
}

void TestSettings::garbledFileFallsBackPerLine()
{
    QFETCH(QString, file);
    QFETCH(bool, askName);
    QFETCH(bool, romaji);
    QFETCH(QString, name);

    Settings s = held();
    s.applyFile(file);
    QCOMPARE(s.askNameAtStart, askName);
    QCOMPARE(s.romajiMode, romaji);
    QCOMPARE(s.playerName, name);
}

void TestSettings::unreadableFileKeepsOnlyTheName()
{
    Settings s = held();
    s.applyUnreadableFile();
    QVERIFY(s.askNameAtStart);
    QVERIFY(!s.romajiMode);
    QCOMPARE(s.playerName, QStringLiteral("Held"));
}

// Kolrin.cfg and Kolrin.ini read at start-up, changed in play, written at the
// end and read again at the next start. Options are "fsp": flexible, status
// bar, pause when inactive; upper case on.
void TestSettings::storeWritesWhatTheGameHolds_data()
{
    QTest::addColumn<QByteArray>("cfg"); // null: no file
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("switchedTo");
    QTest::addColumn<QString>("nextStart");
    QTest::addColumn<bool>("iniMade");

    const QByteArray cfg("False\r\nTrue\r\nTaro\r\n");
    QTest::newRow("no options ever: no Kolrin.ini") << cfg << QByteArray() << "fsp" << "fsp" << false;
    QTest::newRow("first option on") << QByteArray() << QByteArray() << "fSp" << "fSp" << true;
    QTest::newRow("the last option on switched off")
        << cfg << QByteArray("[Options]\nStatusBar=true\n") << "fsp" << "fsp" << true;
    QTest::newRow("all switched off") << cfg
                                      << QByteArray("[Options]\nFlexibleRomaji=true\nStatusBar=true\n"
                                                    "PauseWhenInactive=true\n")
                                      << "fsp" << "fsp" << true;
    QTest::newRow("damaged Kolrin.ini written afresh")
        << cfg << QByteArray("\x00\xff[[[=\n", 7) << "Fsp" << "Fsp" << true;
}

void TestSettings::storeWritesWhatTheGameHolds()
{
    QFETCH(QByteArray, cfg);
    QFETCH(QByteArray, ini);
    QFETCH(QString, switchedTo);
    QFETCH(QString, nextStart);
    QFETCH(bool, iniMade);
    QTemporaryDir dir;
    const auto write = [&dir](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    if (!cfg.isNull())
        write("Kolrin.cfg", cfg);
    if (!ini.isNull())
        write("Kolrin.ini", ini);
    const auto letters = [](const Options &o) {
        return QString(o.flexibleRomaji ? u'F' : u'f') + (o.statusBar ? u'S' : u's')
            + (o.pauseWhenInactive ? u'P' : u'p');
    };

    SettingsStore store(dir.path() + u'/', true);
    Settings settings;
    Options options;
    store.load(settings, options);
    QVERIFY(store.problem().isEmpty());
    options.flexibleRomaji = switchedTo[0] == u'F';
    options.statusBar = switchedTo[1] == u'S';
    options.pauseWhenInactive = switchedTo[2] == u'P';
    settings.playerName = QStringLiteral("Hanako");
    QString failed;
    QCOMPARE(store.save(settings, options, &failed), QString());

    SettingsStore next(dir.path() + u'/', true);
    Settings again;
    Options optionsAgain;
    next.load(again, optionsAgain);
    QCOMPARE(again.playerName, QStringLiteral("Hanako"));
    QCOMPARE(again.askNameAtStart, cfg.isNull());
    QCOMPARE(letters(optionsAgain), nextStart);
    QCOMPARE(QFile::exists(dir.filePath("Kolrin.ini")), iniMade);
}

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"

void TestSettings::optionsFileReadsAndKeepsWhatItDoesNotKnow_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("flexible");
    QTest::addColumn<bool>("statusBar");
    QTest::addColumn<bool>("pause");
    QTest::addColumn<bool>("focus");
    QTest::addColumn<bool>("kana");
    QTest::addColumn<QByteArray>("kept"); // a line a rewrite must not lose

    QTest::newRow("no file") << QByteArray() << false << false << false << false << false << QByteArray();
    QTest::newRow("all on")
        << QByteArray("[Options]\nFlexibleRomaji=true\nStatusBar=true\nPauseWhenInactive=true\n"
                      "FocusWeakKeys=true\nKanaInput=true\n")
        << true << true << true << true << true << QByteArray();
    QTest::newRow("CR LF, one on")
        << QByteArray("[Options]\r\nStatusBar=true\r\n") << false << true << false << false << false
        << QByteArray();
    QTest::newRow("kana input alone")
        << QByteArray("[Options]\nKanaInput=true\n") << false << false << false << false << true << QByteArray();
    QTest::newRow("other words are off")
        << QByteArray("[Options]\nFlexibleRomaji=1\nStatusBar=yes\nPauseWhenInactive=TRUE\nFocusWeakKeys=on\n"
                      "KanaInput=1\n")
        << false << false << false << false << false << QByteArray();
    QTest::newRow("lessons on") << QByteArray("[Options]\nLessons=true\n") << false << false << false << false
                                << false << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x00\xff[[[=\n\x81", 8) << false << false << false << false
                             << false << QByteArray();
    QTest::newRow("keys of a later version kept")
        << QByteArray("[Options]\nFlexibleRomaji=true\nTheme=dark\n\n[Window]\nx=10\n")
        << true << false << false << false << false << QByteArray("x=10");
    QTest::newRow("the summary after each game")
        << QByteArray("[Options]\nGameSummary=true\n") << false << false << false << false << false << QByteArray();
    // Files written by hand or by another program, read as QSettings reads them.
    QTest::newRow("blanks, comments and quotes")
        << QByteArray("; mine\n[Options]\nStatusBar = true ; on\n\tKanaInput=\"true\"\nFocusWeakKeys=true,false\n")
        << false << true << false << false << true << QByteArray();
    QTest::newRow("the last of a key twice, a group twice")
        << QByteArray("[Options]\nStatusBar=true\nStatusBar=false\n[Window]\nx=1\n[Options]\n"
                      "FlexibleRomaji=false\nFlexibleRomaji=true\n")
        << true << false << false << false << false << QByteArray("x=1");
    QTest::newRow("names as QSettings spells them")
        << QByteArray("[options]\nStatusBar=true\n[Options]\nPause%57henInactive=true\nkanainput=true\n"
                      "FocusWeakKeys=@String(true)\n")
        << false << false << true << true << false << QByteArray("[options]");
    QTest::newRow("a line carried on, a lone CR")
        << QByteArray("[Window]\ntitle=a\\\n[Options]\nStatusBar=true\r\n[Options]\rKanaInput=true\n")
        << false << false << false << false << true << QByteArray("title");
}

void TestSettings::optionsFileReadsAndKeepsWhatItDoesNotKnow()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, flexible);
    QFETCH(bool, statusBar);
    QFETCH(bool, pause);
    QFETCH(bool, focus);
    QFETCH(bool, kana);
    QFETCH(QByteArray, kept);

    const Options read = Options::fromIni(file);
    QCOMPARE(read.flexibleRomaji, flexible);
    QCOMPARE(read.statusBar, statusBar);
    QCOMPARE(read.pauseWhenInactive, pause);
    QCOMPARE(read.focusWeakKeys, focus);
    QCOMPARE(read.kanaInput, kana);
    QCOMPARE(read.gameSummary, file.contains("GameSummary=true"));
    const bool lessons = file.contains("Lessons=true\n");
    QCOMPARE(read.lessons, lessons);

    // Written back turned over, it reads back turned over, and keeps the rest.
    Options turned;
    turned.flexibleRomaji = !flexible;
    turned.statusBar = !statusBar;
    turned.pauseWhenInactive = !pause;
    turned.focusWeakKeys = !focus;
    turned.kanaInput = !kana;
    turned.lessons = !lessons;
    QByteArray written;
    QString error;
    QVERIFY2(turned.toIni(file, &written, &error), qPrintable(error));
    QVERIFY(written.contains("[Options]"));
    const Options again = Options::fromIni(written);
    QCOMPARE(again.flexibleRomaji, !flexible);
    QCOMPARE(again.statusBar, !statusBar);
    QCOMPARE(again.pauseWhenInactive, !pause);
    QCOMPARE(again.focusWeakKeys, !focus);
    QCOMPARE(again.kanaInput, !kana);
    QCOMPARE(again.lessons, !lessons);
    QVERIFY(written.contains(kept));

    // Written back as read: the newest option's line only where it was, so a
    // player who never turned it on keeps the file of before.
    QVERIFY2(read.toIni(file, &written, &error), qPrintable(error));
    QCOMPARE(written.contains("FocusWeakKeys"), file.contains("FocusWeakKeys"));
    QCOMPARE(written.contains("KanaInput"), file.contains("KanaInput"));
    QCOMPARE(written.contains("GameSummary"), file.contains("GameSummary"));
    QCOMPARE(written.contains("Lessons"), file.contains("Lessons"));
}
