#include "game/kanainputlink.h"

#include "game/gamesession.h"
#include "game/kanakeys.h"
#include "game/progresslink.h"
#include "records/zuvelm.h"

#include <QGuiApplication>
#include <QKeyEvent>

void KanaInputLink::apply(bool on)
{
    if (on == m_shared.KanaInput)
        return;
    m_shared.KanaInput = on;
    m_session.setKanaInput(on);
    m_progress.reload();
}

QString KanaInputLink::keyText(const QKeyEvent *event) const
{
    const QString text = event->text();
    // A shortcut held with Ctrl or Alt is no kana, though its key has one.
    const auto chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!m_session.kanaInput() || (event->modifiers() & chords))
        return text;
    // X and Wayland number the keys alike; elsewhere the code means nothing here.
    static const bool x11Codes = QGuiApplication::platformName() == QLatin1String("xcb")
                              || QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    const QChar key = KanaKeys::typedKey(text, x11Codes ? event->nativeScanCode() : 0,
                                         event->modifiers().testFlag(Qt::ShiftModifier));
    return key.isNull() ? text : QString(key);
}
