#include "platform/soundplayer.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {
SoundPlayer::Factory linkedFactory = nullptr;

// Loaded once and kept for the life of the program.
SoundPlayer::Factory loadFactory(QString *error)
{
    static QLibrary library(QCoreApplication::applicationDirPath()
                            + QStringLiteral("/plugins/libkolrin_sound.so"));
    const auto factory = reinterpret_cast<SoundPlayer::Factory>(library.resolve("kolrinCreateSoundPlayer"));
    if (!factory && error)
        *error = library.errorString();
    return factory;
}
}

void SoundPlayer::useFactory(Factory factory)
{
    linkedFactory = factory;
}

SoundPlayer *SoundPlayer::create(QObject *parent, QString *error)
{
    if (!linkedFactory)
        linkedFactory = loadFactory(error);
    return linkedFactory ? linkedFactory(parent) : nullptr;
}
