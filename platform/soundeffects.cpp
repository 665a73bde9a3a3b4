#include "platform/soundeffects.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {
constexpr double Pi = 3.14159265358979323846;

// Samples as doubles in -1..1 until the end.
class Track
{
public:
    explicit Track(double seconds) : m_samples(qsizetype(seconds * SoundEffects::SampleRate), 0.0) {}

    // A tone from `start` for `length` seconds: the partials given as
    // (frequency ratio, amplitude), an attack of a few milliseconds and an
    // exponential decay with the given time constant.
    void tone(double start, double length, double hertz, double loudness, double decay,
              std::initializer_list<std::pair<double, double>> partials)
    {
        const qsizetype from = qsizetype(start * SoundEffects::SampleRate);
        const qsizetype count = qsizetype(length * SoundEffects::SampleRate);
        constexpr double AttackSeconds = 0.003;
        for (qsizetype i = 0; i < count && from + i < m_samples.size(); ++i) {
            const double t = double(i) / SoundEffects::SampleRate;
            // Rounded at both ends: a sudden start or stop clicks.
            const double edge = std::min({1.0, t / AttackSeconds, (length - t) / AttackSeconds});
            double v = 0;
            for (const auto &[ratio, amplitude] : partials)
                v += amplitude * std::sin(2 * Pi * hertz * ratio * t);
            m_samples[from + i] += loudness * edge * std::exp(-t / decay) * v;
        }
    }

    QByteArray pcm() const
    {
        QByteArray out(m_samples.size() * qsizetype(sizeof(std::int16_t)), Qt::Uninitialized);
        auto *to = reinterpret_cast<std::int16_t *>(out.data());
        for (qsizetype i = 0; i < m_samples.size(); ++i)
            to[i] = std::int16_t(std::lround(std::clamp(m_samples[i], -1.0, 1.0) * 32767));
        return out;
    }

private:
    QList<double> m_samples;
};
}

QByteArray SoundEffects::samples(SoundEffect effect)
{
    switch (effect) {
    case SoundEffect::Click: {
        Track track(0.015);
        track.tone(0, 0.015, 1800, 0.25, 0.004, {{1, 0.7}, {2.3, 0.3}});
        return track.pcm();
    }
    case SoundEffect::Buzz: {
        // Odd harmonics of a low note: the rasp of a square wave, gentler.
        Track track(0.14);
        track.tone(0, 0.14, 110, 0.35, 0.2, {{1, 0.6}, {3, 0.25}, {5, 0.12}, {7, 0.06}});
        return track.pcm();
    }
    case SoundEffect::Chime: {
        Track track(0.45);
        track.tone(0, 0.35, 1568, 0.22, 0.12, {{1, 0.8}, {2.76, 0.2}});
        track.tone(0.08, 0.37, 2093, 0.22, 0.12, {{1, 0.8}, {2.76, 0.2}});
        return track.pcm();
    }
    case SoundEffect::Fall: {
        Track track(0.8);
        const double notes[] = {784, 659, 587, 523};
        for (int n = 0; n < 4; ++n) {
            const double length = n == 3 ? 0.35 : 0.15;
            track.tone(n * 0.15, length, notes[n], 0.3, n == 3 ? 0.2 : 0.1, {{1, 0.7}, {2, 0.2}, {3, 0.1}});
        }
        return track.pcm();
    }
    case SoundEffect::Unlock: {
        // Rising where the end of a game falls, and longer than the chime of
        // a prompt, so that it stands out in the middle of a game.
        Track track(0.75);
        const double notes[] = {1047, 1319, 1568, 2093};
        for (int n = 0; n < 4; ++n)
            track.tone(n * 0.09, 0.75 - n * 0.09, notes[n], 0.18, 0.15, {{1, 0.8}, {2.76, 0.2}});
        return track.pcm();
    }
    }
    return {};
}
