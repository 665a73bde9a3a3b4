#pragma once
// A game session played from a script, as the session's and the listeners'
// tests write it.
#include "game/gamesession.h"

#include <QString>

// Scripts of steps split by blanks, each with an optional "*N" (N times) and "@ms" (the
// clock from then on; it stays where the last step set it): start, pause,
// resume, count (a step of it), tick, reset, kana, letters (a mode switch),
// flex (other spellings on), kanainput (kana input on); keys: 'c the character c, bs and sp Backspace and
// Space, 1 to 3 the prompt's letter at that place in lower case, x a letter
// the prompts of these tests lack.
// Calls step(verb, now) for each step of a script, N times for "*N".
template <typename Step>
void forEachStep(const QString &script, Step step)
{
    qint64 now = 0;
    for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
        const QString verb = word.section(u'@', 0, 0).section(u'*', 0, 0);
        if (word.contains(u'@'))
            now = word.section(u'@', 1).toLongLong();
        const int times = word.contains(u'*') ? word.section(u'*', 1).section(u'@', 0, 0).toInt() : 1;
        for (int n = 0; n < times; ++n)
            step(verb, now);
    }
}

inline void playScript(GameSession &session, const QString &script)
{
    forEachStep(script, [&session](const QString &verb, qint64 now) {
        if (verb == u"start")
            session.start(now);
        else if (verb == u"pause")
            session.pause(now);
        else if (verb == u"resume")
            session.resume();
        else if (verb == u"count")
            session.stepCount(now);
        else if (verb == u"tick")
            session.tick(now);
        else if (verb == u"reset")
            session.ResetGame();
        else if (verb == u"kana" || verb == u"letters")
            session.switchMode(verb == u"kana", now);
        else if (verb == u"flex")
            session.setFlexibleRomaji(true);
        else if (verb == u"kanainput")
            session.setKanaInput(true);
        else if (verb == u"bs" || verb == u"sp")
            session.key(verb == u"bs" ? u"\b" : u" ", now);
        else if (verb.startsWith(u'\''))
            session.key(verb.mid(1), now);
        else if (verb == u"x")
            session.key(u"a", now); // no prompt here has an A
        else
            session.key(session.currentRomaji().mid(verb.toInt() - 1, 1).toLower(), now);
    });
}
