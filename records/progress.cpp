#include "records/progress.h"

#include "platform/cp932.h"
#include "platform/textfile.h"
#include "records/resultrecord.h"

#include <QDate>
#include <QHashFunctions>
#include <QTime>
#include <algorithm>

namespace {

// Stored names up to this length are looked up as they are; a longer one by
// its digest, padded past this length so that it never meets a kept name.
// Memory then stays small however long the names in the file.
constexpr qsizetype MaxKeptNameBytes = 256;

// 128 bits from the process's random hash seed: no file can be made to make
// two names meet, and it reads a long name ten times faster than SHA-1 does.
struct Digest
{
    quint64 halves[2];
    explicit Digest(QByteArrayView bytes)
        : halves{quint64(qHash(bytes, QHashSeed::globalSeed())),
                 quint64(qHash(bytes, ~QHashSeed::globalSeed() ^ 0x9e3779b97f4a7c15))}
    {
    }
    // A name's text, as its UTF-16 code units.
    explicit Digest(QStringView text)
        : Digest(QByteArrayView(reinterpret_cast<const char *>(text.utf16()),
                                text.size() * qsizetype(sizeof(char16_t))))
    {
    }
    QByteArrayView view() const { return {reinterpret_cast<const char *>(halves), sizeof halves}; }
};

QByteArray digestKey(QByteArrayView stored)
{
    return Digest(stored).view().toByteArray().leftJustified(MaxKeptNameBytes + 1, '\0');
}

// CP932 text decodes to no surrogate pair, so any cut is between characters.
QString shortened(const QString &name)
{
    if (name.size() <= ProgressBuilder::MaxShownName)
        return name;
    return name.left(ProgressBuilder::MaxShownName - 1) + u'…';
}

// Keeps the buffer's room: the last date is copied for every game.
void copyInto(QByteArray &to, QByteArrayView from)
{
    to.resize(0);
    to.append(from);
}

// The stored text when it reads as the date the game writes, else nothing.
QString dateLabel(const QByteArray &stored)
{
    const QString text = Cp932::decode(stored);
    if (text.size() != 16 || text[10] != u' ')
        return {};
    if (!QDate::fromString(text.left(10), QStringLiteral("yyyy/MM/dd")).isValid()
        || !QTime::fromString(text.mid(11), QStringLiteral("HH:mm")).isValid())
        return {};
    return text;
}

}

void ProgressBuilder::Span::add(qint64 game, double value)
{
    if (low.game == 0 || value < low.value)
        low = {game, value};
    if (high.game == 0 || value > high.value)
        high = {game, value};
}

void ProgressBuilder::Span::merge(const Span &later)
{
    if (later.low.game == 0)
        return;
    if (low.game == 0 || later.low.value < low.value)
        low = later.low;
    if (high.game == 0 || later.high.value > high.value)
        high = later.high;
}

void ProgressBuilder::Span::appendTo(QList<QPointF> &points) const
{
    if (low.game == 0)
        return;
    const Mark &first = low.game <= high.game ? low : high;
    const Mark &second = low.game <= high.game ? high : low;
    points << QPointF(double(first.game), first.value);
    if (second.game != first.game)
        points << QPointF(double(second.game), second.value);
}

void ProgressBuilder::Bucket::merge(const Bucket &later)
{
    levels.merge(later.levels);
    lastGame = later.lastGame;
    averageSum += later.averageSum;
    if (firstRise.game == 0)
        firstRise = later.firstRise;
    if (later.lastRise.game != 0)
        lastRise = later.lastRise;
}

QByteArray ProgressBuilder::keyOf(QStringView name)
{
    return Digest(name).view().toByteArray();
}

ProgressBuilder::ProgressBuilder(std::optional<QByteArray> playerKey)
    : m_player(std::move(playerKey))
{
    m_buckets.reserve(MaxBuckets);
}

bool ProgressBuilder::isChosen(QByteArrayView name)
{
    const bool kept = name.size() <= MaxKeptNameBytes;
    const QByteArray lookup =
        kept ? QByteArray::fromRawData(name.data(), name.size()) : digestKey(name);
    const auto known = m_names.constFind(lookup);
    if (known != m_names.cend())
        return *known;
    if (!m_player && m_names.size() >= MaxPlayers)
        return true;
    // Compared as text, so a name matches however its bytes were written.
    const QString decoded = m_decode(name);
    const Digest key(decoded);
    const bool chosen = !m_player || key.view() == *m_player;
    if (m_names.size() < MaxPlayers) {
        m_names.insert(kept ? name.toByteArray() : lookup, chosen);
        m_players << shortened(decoded);
        m_playerKeys << key.view().toByteArray();
    }
    return chosen;
}

void ProgressBuilder::addLine(QByteArrayView line)
{
    const auto raw = ResultFile::parseRaw(line);
    if (raw && isChosen(raw->Name))
        addGame(raw->Level, raw->DateTime);
}

void ProgressBuilder::addGame(std::int16_t level, QByteArrayView date)
{
    const qint64 game = ++m_games;
    if (game == 1) {
        m_firstLevel = level;
        m_firstDate = date.toByteArray();
    }
    copyInto(m_lastDate, date);

    const int slot = int((game - 1) % RecentGames);
    m_recentSum += level - m_recent[slot];
    m_recent[slot] = level;
    const double average = double(m_recentSum) / double(std::min<qint64>(game, RecentGames));

    qint64 index = (game - 1) / m_bucketWidth;
    if (index == MaxBuckets) {
        for (int i = 0; i < MaxBuckets / 2; ++i) {
            Bucket pair = m_buckets[2 * i];
            pair.merge(m_buckets[2 * i + 1]);
            m_buckets[i] = pair;
        }
        m_buckets.resize(MaxBuckets / 2);
        m_bucketWidth *= 2;
        index = (game - 1) / m_bucketWidth;
    }
    if (index == qint64(m_buckets.size()))
        m_buckets.emplace_back();
    Bucket &bucket = m_buckets.back();
    bucket.levels.add(game, level);
    if (bucket.firstGame == 0)
        bucket.firstGame = game;
    bucket.lastGame = game;
    bucket.averageSum += average;

    if (game == 1 || level > m_best) {
        m_best = level;
        m_bestGame = game;
        copyInto(m_bestDate, date);
        if (bucket.firstRise.game == 0)
            bucket.firstRise = {game, double(level)};
        bucket.lastRise = {game, double(level)};
    }
}

void ProgressBuilder::addAll(QIODevice &device)
{
    TextFile::forEachLine(device, ResultFile::MaxLineBytes,
                          [this](QByteArrayView line) { addLine(line); });
}

Progress ProgressBuilder::result() const
{
    Progress progress;
    progress.players = m_players;
    progress.playerKeys = m_playerKeys;
    progress.games = m_games;
    if (m_games == 0)
        return progress;
    progress.bestLevel = m_best;
    progress.bestGame = m_bestGame;
    progress.bestDate = dateLabel(m_bestDate);
    progress.recentAverage = double(m_recentSum) / double(std::min<qint64>(m_games, RecentGames));
    progress.firstDate = dateLabel(m_firstDate);
    progress.lastDate = dateLabel(m_lastDate);

    bool risen = false;
    double best = 0;
    qint64 lastRise = 0;
    const auto stepTo = [&](const Mark &rise) {
        if (risen)
            progress.bestSteps << QPointF(double(rise.game), best);
        progress.bestSteps << QPointF(double(rise.game), rise.value);
        risen = true;
        best = rise.value;
        lastRise = rise.game;
    };
    for (const Bucket &bucket : m_buckets) {
        bucket.levels.appendTo(progress.levels);
        const qint64 count = bucket.lastGame - bucket.firstGame + 1;
        progress.recentAverages << QPointF(double(bucket.firstGame + bucket.lastGame) / 2,
                                           bucket.averageSum / double(count));
        if (bucket.firstRise.game != 0)
            stepTo(bucket.firstRise);
        if (bucket.lastRise.game > bucket.firstRise.game)
            stepTo(bucket.lastRise);
    }
    if (m_games > lastRise)
        progress.bestSteps << QPointF(double(m_games), best);

    const auto spanAllGames = [this](QList<QPointF> &points, double first, double last) {
        if (points.first().x() > 1)
            points.prepend(QPointF(1, first));
        if (points.last().x() < double(m_games))
            points << QPointF(double(m_games), last);
    };
    spanAllGames(progress.levels, m_firstLevel, m_recent[(m_games - 1) % RecentGames]);
    spanAllGames(progress.recentAverages, m_firstLevel, progress.recentAverage);
    return progress;
}
