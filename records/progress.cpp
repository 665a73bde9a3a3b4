#include "records/progress.h"

#include "platform/cp932.h"
#include "platform/textfile.h"
#include "records/resultrecord.h"

#include <QDate>
#include <QHashFunctions>
#include <QTime>
#include <algorithm>
#include <array>
#include <cstring>

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
    to.resize(from.size());
    if (!from.isEmpty())
        std::memcpy(to.data(), from.data(), size_t(from.size()));
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

void ProgressBuilder::Marks::merge(const Marks &later)
{
    if (firstRise.game == 0)
        firstRise = later.firstRise;
    if (later.lastRise.game != 0)
        lastRise = later.lastRise;
    for (int i = 0; i <= PlayerColours; ++i)
        players[i].merge(later.players[i]);
}

QByteArray ProgressBuilder::keyOf(QStringView name)
{
    return Digest(name).view().toByteArray();
}

ProgressBuilder::ProgressBuilder(std::optional<QByteArray> playerKey)
    : m_player(std::move(playerKey))
{
}

int ProgressBuilder::slotOf(QByteArrayView name)
{
    // A player's games mostly come one after another.
    if (m_lastSlot != NoSlot && name == QByteArrayView(m_lastName))
        return m_lastSlot;
    const int slot = lookUp(name);
    copyInto(m_lastName, name);
    m_lastSlot = slot;
    return slot;
}

int ProgressBuilder::lookUp(QByteArrayView name)
{
    const bool kept = name.size() <= MaxKeptNameBytes;
    const QByteArray lookup =
        kept ? QByteArray::fromRawData(name.data(), name.size()) : digestKey(name);
    const auto known = m_names.constFind(lookup);
    if (known != m_names.cend())
        return *known;
    if (!m_player && m_names.size() >= MaxPlayers)
        return PlayerColours;
    // Compared as text, so a name matches however its bytes were written.
    const QString decoded = m_decode(name);
    const Digest key(decoded);
    const int slot = m_player ? (key.view() == *m_player ? 0 : -1)
                              : int(std::min<qsizetype>(m_players.size(), PlayerColours));
    if (m_names.size() < MaxPlayers) {
        m_names.insert(kept ? name.toByteArray() : lookup, slot);
        m_players << shortened(decoded);
        m_playerKeys << key.view().toByteArray();
    }
    return slot;
}

void ProgressBuilder::addLine(QByteArrayView line)
{
    const auto raw = ResultFile::parseRaw(line);
    if (!raw)
        return;
    const int slot = slotOf(raw->Name);
    if (slot >= 0)
        addGame(raw->Level, raw->DateTime, slot);
}

void ProgressBuilder::addGame(std::int16_t level, QByteArrayView date, int slot)
{
    const qint64 game = ++m_games;
    if (game == 1)
        m_firstDate = date.toByteArray();
    copyInto(m_lastDate, date);

    Marks &marks = m_levels.add(game, level);
    if (!m_player)
        marks.players[slot].add(game, level);
    if (game == 1 || level > m_best) {
        m_best = level;
        m_bestGame = game;
        copyInto(m_bestDate, date);
        if (marks.firstRise.game == 0)
            marks.firstRise = {game, double(level)};
        marks.lastRise = {game, double(level)};
    }
}

void ProgressBuilder::addAll(QIODevice &device, const std::function<bool()> &stop)
{
    TextFile::forEachLine(device, ResultFile::MaxLineBytes, [this](QByteArrayView line) { addLine(line); }, stop);
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
    progress.recentAverage = m_levels.recentAverage();
    progress.firstDate = dateLabel(m_firstDate);
    progress.lastDate = dateLabel(m_lastDate);
    m_levels.points(m_games, progress.levels, progress.recentAverages);

    bool risen = false;
    double best = 0;
    qint64 lastRise = 0;
    const auto stepTo = [&](const Span::Mark &rise) {
        if (risen)
            progress.bestSteps << QPointF(double(rise.game), best);
        progress.bestSteps << QPointF(double(rise.game), rise.value);
        risen = true;
        best = rise.value;
        lastRise = rise.game;
    };
    using Players = std::array<Span, PlayerColours + 1>;
    std::vector<Players> runs;
    m_levels.forEachExtra([&](const Marks &marks) {
        if (marks.firstRise.game != 0)
            stepTo(marks.firstRise);
        if (marks.lastRise.game > marks.firstRise.game)
            stepTo(marks.lastRise);
        if (!m_player)
            runs.push_back(std::to_array(marks.players));
    });
    // Everyone's points together no more than one player's: neighbouring
    // buckets join while there are more, as each point costs the chart a
    // little to draw.
    const auto points = [&runs] {
        qsizetype n = 0;
        for (const Players &run : runs) {
            for (const Span &span : run)
                n += span.low.game == 0 ? 0 : span.low.game == span.high.game ? 1 : 2;
        }
        return n;
    };
    while (points() > 2 * MaxBuckets) {
        for (size_t i = 0; 2 * i < runs.size(); ++i) {
            Players pair = runs[2 * i];
            for (int slot = 0; 2 * i + 1 < runs.size() && slot <= PlayerColours; ++slot)
                pair[slot].merge(runs[2 * i + 1][slot]);
            runs[i] = pair;
        }
        runs.resize((runs.size() + 1) / 2);
    }
    if (!m_player)
        progress.playerLevels.resize(PlayerColours + 1);
    for (const Players &run : runs) {
        for (int slot = 0; slot <= PlayerColours; ++slot)
            run[slot].appendTo(progress.playerLevels[slot]);
    }
    if (m_games > lastRise)
        progress.bestSteps << QPointF(double(m_games), best);
    return progress;
}
