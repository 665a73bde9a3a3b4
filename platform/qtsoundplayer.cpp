// The sound library, plugins/libkolrin_sound.so: the effects played through
// Qt Multimedia's default audio output.
#include "platform/soundplayer.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdint>

namespace {
using Sample = std::int16_t;
constexpr int Effects = SoundEffects::Count;
// While a sound plays, the sink's buffer is topped up this often.
constexpr int FeedMs = 10;
// A server that takes nothing for this long has hung: its sounds are dropped.
constexpr int StalledFeeds = 2000 / FeedMs;
// The stream to the audio server is closed after this long without a sound,
// and the player's thread sleeps until the next one.
constexpr int IdleMs = 1500;
// Asked of the server; it answers with a little less. Short, so a sound is
// heard soon after its key.
constexpr int BufferMs = 50;

// The effects under way, mixed, then silence for one buffer so the server,
// which starts playing only once the buffer holds enough, plays their end too.
class Mixer
{
public:
    Mixer()
    {
        for (int e = 0; e < Effects; ++e)
            m_effects[e] = SoundEffects::samples(SoundEffect(e));
    }

    void add(SoundEffect effect, qsizetype tailFrames)
    {
        m_voices.append({&m_effects[int(effect)], 0});
        m_tail = tailFrames;
    }
    bool done() const { return m_voices.isEmpty() && m_tail == 0; }
    void clear()
    {
        m_voices.clear();
        m_tail = 0;
    }

    // Up to `frames` samples; fewer once done.
    QByteArray mix(qsizetype frames)
    {
        QByteArray bytes(frames * qsizetype(sizeof(Sample)), Qt::Uninitialized);
        auto *out = reinterpret_cast<Sample *>(bytes.data());
        qsizetype n = 0;
        for (; n < frames && !done(); ++n) {
            int sum = 0;
            for (Voice &voice : m_voices)
                sum += reinterpret_cast<const Sample *>(voice.samples->constData())[voice.position++];
            m_voices.removeIf([](const Voice &voice) {
                return voice.position >= voice.samples->size() / qsizetype(sizeof(Sample));
            });
            if (m_voices.isEmpty())
                --m_tail;
            out[n] = Sample(std::clamp(sum, -32768, 32767));
        }
        bytes.truncate(n * qsizetype(sizeof(Sample)));
        return bytes;
    }

private:
    struct Voice
    {
        const QByteArray *samples;
        qsizetype position;
    };
    std::array<QByteArray, Effects> m_effects;
    QList<Voice> m_voices;
    qsizetype m_tail = 0;
};

// Lives on the player's thread: finding the audio server, or waiting for one
// that does not answer, never holds up the game. The sink is fed by writing
// to it, which reaches the server at once; a sink that pulls its sound would
// wait for its next period first.
class AudioWorker : public QObject
{
public:
    // Finds the server before the first sound is wanted, so that one is on
    // time too; the stream to it opens with the first sound.
    void prepare()
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return; // no audio: every effect is silence
        QAudioFormat format;
        format.setSampleRate(SoundEffects::SampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = new QAudioSink(device, format, this);
        m_sink->setBufferSize(format.bytesForDuration(BufferMs * 1000));
        m_feed.setInterval(FeedMs);
        m_feed.setTimerType(Qt::PreciseTimer);
        connect(&m_feed, &QTimer::timeout, this, &AudioWorker::feed);
        m_idle.setSingleShot(true);
        m_idle.setInterval(IdleMs);
        connect(&m_idle, &QTimer::timeout, this, &AudioWorker::close);
    }

    void play(SoundEffect effect)
    {
        if (!m_sink)
            return;
        // The first sound after a quiet spell, or the server went away and may be back.
        if (!m_output && !open())
            return;
        m_mixer.add(effect, m_sink->bufferSize() / qsizetype(sizeof(Sample)));
        feed();
    }

private:
    bool open()
    {
        m_stalled = 0;
        m_output = m_sink->start();
        return m_output;
    }

    void close()
    {
        m_sink->stop();
        m_output = nullptr;
    }

    void feed()
    {
        const QByteArray chunk = m_mixer.mix(m_sink->bytesFree() / qsizetype(sizeof(Sample)));
        if (!chunk.isEmpty())
            m_output->write(chunk);
        m_stalled = chunk.isEmpty() ? m_stalled + 1 : 0;
        if (m_stalled > StalledFeeds) {
            m_mixer.clear();
            close();
        }
        if (m_mixer.done()) {
            m_feed.stop();
            m_idle.start();
        } else {
            m_idle.stop();
            if (!m_feed.isActive())
                m_feed.start();
        }
    }

    Mixer m_mixer;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_output = nullptr; // owned by the sink
    int m_stalled = 0;
    QTimer m_feed{this};
    QTimer m_idle{this};
};

class QtSoundPlayer : public SoundPlayer
{
public:
    explicit QtSoundPlayer(QObject *parent)
        : SoundPlayer(parent), m_thread(new QThread), m_worker(new AudioWorker)
    {
        m_worker->moveToThread(m_thread);
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        m_thread->setObjectName(QStringLiteral("kolrin sound"));
        m_thread->start();
        QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->prepare(); }, Qt::QueuedConnection);
    }
    ~QtSoundPlayer() override { finish(-1); }

    void play(SoundEffect effect) override
    {
        if (!m_thread)
            return;
        QMetaObject::invokeMethod(m_worker, [worker = m_worker, effect] { worker->play(effect); },
                                  Qt::QueuedConnection);
    }

    bool finish(int waitMs) override
    {
        if (!m_thread)
            return !m_leftRunning;
        m_thread->quit();
        // The worker lets go of the stream as its thread ends.
        if (!m_thread->wait(waitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                       : QDeadlineTimer(waitMs))) {
            // A thread object destroyed while its thread runs ends the process
            // with abort(): it stays, and the worker with it.
            m_thread = nullptr;
            m_leftRunning = true;
            return false;
        }
        delete m_thread;
        m_thread = nullptr;
        return true;
    }

private:
    QThread *m_thread;
    AudioWorker *m_worker;
    bool m_leftRunning = false;
};
}

SoundPlayer *kolrinCreateSoundPlayer(QObject *parent)
{
    return new QtSoundPlayer(parent);
}
