#include "platform/soundplayer.h"

#include "platform/pluginlibrary.h"

#include <QCoreApplication>

namespace {
SoundPlayer::Factory linkedFactory = nullptr;
bool leftRunning = false;

SoundPlayer::Factory loadFactory(QString *error)
{
    QString reason;
    const auto factory = reinterpret_cast<SoundPlayer::Factory>(loadPluginSymbol(
        QCoreApplication::applicationDirPath() + QStringLiteral("/plugins/libkolrin_sound.so"),
        "kolrinCreateSoundPlayer", QStringLiteral("このゲームの効果音のライブラリではありません。"), {},
        &reason));
    if (!factory && error)
        *error = reason;
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

void SoundPlayer::finishWithin(SoundPlayer *player, int waitMs)
{
    if (player && !player->finish(waitMs))
        leftRunning = true;
}

bool SoundPlayer::anyLeftRunning()
{
    return leftRunning;
}
