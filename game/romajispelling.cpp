#include "game/romajispelling.h"

#include <QHash>

#include <algorithm>

namespace RomajiSpelling {
namespace {

// The field draws three letters at most; a longer spelling could never be seen.
constexpr qsizetype MaxLetters = 3;
constexpr qsizetype LongestUnit = 3; // ｷﾞｬ, ｳﾞｧ

struct UnitRow
{
    QStringView kana;
    QStringView spellings; // separated by spaces, the word list's Hepburn first
};

// A unit is a kana with its voiced or semi-voiced mark and the small kana that
// bends it. Two rules need the unit after: ﾝ as a lone N, and ｯ by doubling.
const UnitRow Units[] = {
    {u"ｱ", u"A"}, {u"ｲ", u"I YI"}, {u"ｳ", u"U WU WHU"}, {u"ｴ", u"E"}, {u"ｵ", u"O"},
    {u"ｧ", u"XA LA"}, {u"ｨ", u"XI LI XYI LYI"}, {u"ｩ", u"XU LU"}, {u"ｪ", u"XE LE XYE LYE"},
    {u"ｫ", u"XO LO"},
    {u"ｶ", u"KA CA"}, {u"ｷ", u"KI"}, {u"ｸ", u"KU CU QU"}, {u"ｹ", u"KE"}, {u"ｺ", u"KO CO"},
    {u"ｻ", u"SA"}, {u"ｼ", u"SHI SI CI"}, {u"ｽ", u"SU"}, {u"ｾ", u"SE CE"}, {u"ｿ", u"SO"},
    {u"ﾀ", u"TA"}, {u"ﾁ", u"CHI TI"}, {u"ﾂ", u"TSU TU"}, {u"ﾃ", u"TE"}, {u"ﾄ", u"TO"},
    {u"ﾅ", u"NA"}, {u"ﾆ", u"NI"}, {u"ﾇ", u"NU"}, {u"ﾈ", u"NE"}, {u"ﾉ", u"NO"},
    {u"ﾊ", u"HA"}, {u"ﾋ", u"HI"}, {u"ﾌ", u"FU HU"}, {u"ﾍ", u"HE"}, {u"ﾎ", u"HO"},
    {u"ﾏ", u"MA"}, {u"ﾐ", u"MI"}, {u"ﾑ", u"MU"}, {u"ﾒ", u"ME"}, {u"ﾓ", u"MO"},
    {u"ﾔ", u"YA"}, {u"ﾕ", u"YU"}, {u"ﾖ", u"YO"},
    {u"ｬ", u"XYA LYA"}, {u"ｭ", u"XYU LYU"}, {u"ｮ", u"XYO LYO"},
    {u"ﾗ", u"RA"}, {u"ﾘ", u"RI"}, {u"ﾙ", u"RU"}, {u"ﾚ", u"RE"}, {u"ﾛ", u"RO"},
    {u"ﾜ", u"WA"}, {u"ｦ", u"WO"}, {u"ﾝ", u"NN N XN N'"}, {u"ｯ", u"XTU LTU"},

    {u"ｶﾞ", u"GA"}, {u"ｷﾞ", u"GI"}, {u"ｸﾞ", u"GU"}, {u"ｹﾞ", u"GE"}, {u"ｺﾞ", u"GO"},
    {u"ｻﾞ", u"ZA"}, {u"ｼﾞ", u"JI ZI"}, {u"ｽﾞ", u"ZU"}, {u"ｾﾞ", u"ZE"}, {u"ｿﾞ", u"ZO"},
    {u"ﾀﾞ", u"DA"}, {u"ﾁﾞ", u"JI DI"}, {u"ﾂﾞ", u"ZU DU"}, {u"ﾃﾞ", u"DE"}, {u"ﾄﾞ", u"DO"},
    {u"ﾊﾞ", u"BA"}, {u"ﾋﾞ", u"BI"}, {u"ﾌﾞ", u"BU"}, {u"ﾍﾞ", u"BE"}, {u"ﾎﾞ", u"BO"},
    {u"ﾊﾟ", u"PA"}, {u"ﾋﾟ", u"PI"}, {u"ﾌﾟ", u"PU"}, {u"ﾍﾟ", u"PE"}, {u"ﾎﾟ", u"PO"},
    {u"ｳﾞ", u"VU"},

    {u"ｷｬ", u"KYA"}, {u"ｷｨ", u"KYI"}, {u"ｷｭ", u"KYU"}, {u"ｷｪ", u"KYE"}, {u"ｷｮ", u"KYO"},
    {u"ｼｬ", u"SHA SYA"}, {u"ｼｨ", u"SYI"}, {u"ｼｭ", u"SHU SYU"}, {u"ｼｪ", u"SHE SYE"},
    {u"ｼｮ", u"SHO SYO"},
    {u"ﾁｬ", u"CHA TYA CYA"}, {u"ﾁｨ", u"TYI CYI"}, {u"ﾁｭ", u"CHU TYU CYU"},
    {u"ﾁｪ", u"CHE TYE CYE"}, {u"ﾁｮ", u"CHO TYO CYO"},
    {u"ﾆｬ", u"NYA"}, {u"ﾆｨ", u"NYI"}, {u"ﾆｭ", u"NYU"}, {u"ﾆｪ", u"NYE"}, {u"ﾆｮ", u"NYO"},
    {u"ﾋｬ", u"HYA"}, {u"ﾋｨ", u"HYI"}, {u"ﾋｭ", u"HYU"}, {u"ﾋｪ", u"HYE"}, {u"ﾋｮ", u"HYO"},
    {u"ﾐｬ", u"MYA"}, {u"ﾐｨ", u"MYI"}, {u"ﾐｭ", u"MYU"}, {u"ﾐｪ", u"MYE"}, {u"ﾐｮ", u"MYO"},
    {u"ﾘｬ", u"RYA"}, {u"ﾘｨ", u"RYI"}, {u"ﾘｭ", u"RYU"}, {u"ﾘｪ", u"RYE"}, {u"ﾘｮ", u"RYO"},
    {u"ｷﾞｬ", u"GYA"}, {u"ｷﾞｨ", u"GYI"}, {u"ｷﾞｭ", u"GYU"}, {u"ｷﾞｪ", u"GYE"}, {u"ｷﾞｮ", u"GYO"},
    {u"ｼﾞｬ", u"JA ZYA JYA"}, {u"ｼﾞｨ", u"ZYI JYI"}, {u"ｼﾞｭ", u"JU ZYU JYU"},
    {u"ｼﾞｪ", u"JE ZYE JYE"}, {u"ｼﾞｮ", u"JO ZYO JYO"},
    {u"ﾁﾞｬ", u"DYA"}, {u"ﾁﾞｨ", u"DYI"}, {u"ﾁﾞｭ", u"DYU"}, {u"ﾁﾞｪ", u"DYE"}, {u"ﾁﾞｮ", u"DYO"},
    {u"ﾋﾞｬ", u"BYA"}, {u"ﾋﾞｨ", u"BYI"}, {u"ﾋﾞｭ", u"BYU"}, {u"ﾋﾞｪ", u"BYE"}, {u"ﾋﾞｮ", u"BYO"},
    {u"ﾋﾟｬ", u"PYA"}, {u"ﾋﾟｨ", u"PYI"}, {u"ﾋﾟｭ", u"PYU"}, {u"ﾋﾟｪ", u"PYE"}, {u"ﾋﾟｮ", u"PYO"},

    // Sounds from other languages. After a vowel the small kana may also be
    // typed on its own (UXI); after a consonant that takes four letters or more.
    {u"ｲｪ", u"YE IXE ILE"},
    {u"ｳｧ", u"WHA UXA ULA"}, {u"ｳｨ", u"WI WHI UXI ULI"}, {u"ｳｪ", u"WE WHE UXE ULE"},
    {u"ｳｫ", u"WHO UXO ULO"},
    {u"ｸｧ", u"QA KWA QWA"}, {u"ｸｨ", u"QI QWI QYI"}, {u"ｸｩ", u"QWU"}, {u"ｸｪ", u"QE QWE QYE"},
    {u"ｸｫ", u"QO QWO"},
    {u"ｸﾞｧ", u"GWA"}, {u"ｸﾞｨ", u"GWI"}, {u"ｸﾞｩ", u"GWU"}, {u"ｸﾞｪ", u"GWE"}, {u"ｸﾞｫ", u"GWO"},
    {u"ｽｧ", u"SWA"}, {u"ｽｨ", u"SWI"}, {u"ｽｩ", u"SWU"}, {u"ｽｪ", u"SWE"}, {u"ｽｫ", u"SWO"},
    {u"ﾂｧ", u"TSA"}, {u"ﾂｨ", u"TSI"}, {u"ﾂｪ", u"TSE"}, {u"ﾂｫ", u"TSO"},
    {u"ﾃｬ", u"THA"}, {u"ﾃｨ", u"THI"}, {u"ﾃｭ", u"THU"}, {u"ﾃｪ", u"THE"}, {u"ﾃｮ", u"THO"},
    {u"ﾃﾞｬ", u"DHA"}, {u"ﾃﾞｨ", u"DHI"}, {u"ﾃﾞｭ", u"DHU"}, {u"ﾃﾞｪ", u"DHE"}, {u"ﾃﾞｮ", u"DHO"},
    {u"ﾄｧ", u"TWA"}, {u"ﾄｨ", u"TWI"}, {u"ﾄｩ", u"TWU"}, {u"ﾄｪ", u"TWE"}, {u"ﾄｫ", u"TWO"},
    {u"ﾄﾞｧ", u"DWA"}, {u"ﾄﾞｨ", u"DWI"}, {u"ﾄﾞｩ", u"DWU"}, {u"ﾄﾞｪ", u"DWE"}, {u"ﾄﾞｫ", u"DWO"},
    {u"ﾌｧ", u"FA FWA"}, {u"ﾌｨ", u"FI FWI FYI"}, {u"ﾌｩ", u"FWU"}, {u"ﾌｪ", u"FE FWE FYE"},
    {u"ﾌｫ", u"FO FWO"}, {u"ﾌｬ", u"FYA"}, {u"ﾌｭ", u"FYU"}, {u"ﾌｮ", u"FYO"},
    {u"ｳﾞｧ", u"VA"}, {u"ｳﾞｨ", u"VI VYI"}, {u"ｳﾞｪ", u"VE VYE"}, {u"ｳﾞｫ", u"VO"},
    {u"ｳﾞｬ", u"VYA"}, {u"ｳﾞｭ", u"VYU"}, {u"ｳﾞｮ", u"VYO"},
};

const QString SmallTsu = QStringLiteral("ｯ");
const QString Nn = QStringLiteral("ﾝ");

const QHash<QString, QStringList> &unitTable()
{
    static const QHash<QString, QStringList> table = [] {
        QHash<QString, QStringList> t;
        for (const UnitRow &row : Units)
            t.insert(row.kana.toString(), row.spellings.toString().split(u' '));
        return t;
    }();
    return table;
}

bool isConsonant(QChar c)
{
    return c >= u'A' && c <= u'Z' && !QStringView(u"AIUEO").contains(c);
}

// The kana split into units, the longest unit first at each place. Empty when
// some character belongs to no unit, and also past MaxLetters units: every
// unit takes a letter at least, so no spelling of them would fit.
QStringList unitsOf(QStringView kana)
{
    QStringList units;
    qsizetype p = 0;
    while (p < kana.size()) {
        if (units.size() == MaxLetters)
            return {};
        qsizetype length = std::min(LongestUnit, kana.size() - p);
        while (length > 0 && !unitTable().contains(kana.sliced(p, length).toString()))
            --length;
        if (length == 0)
            return {};
        units << kana.sliced(p, length).toString();
        p += length;
    }
    return units;
}

// Before a vowel, N or Y a lone N would read as another kana (NA, NYA),
// and at the end it is not yet ﾝ.
bool loneNAllowedBefore(QStringView tail)
{
    return !tail.isEmpty() && isConsonant(tail[0]) && tail[0] != u'N' && tail[0] != u'Y';
}

// Splits `rest` into the spellings of units[u] onwards, by the rules spellingsOf
// joins them with.
bool spell(const QStringList &units, qsizetype u, QStringView rest, QList<UnitSpan> &spans)
{
    if (u == units.size())
        return rest.isEmpty();
    QStringList candidates = unitTable().value(units[u]);
    if (units[u] == SmallTsu && rest.size() > 1 && rest[0] == rest[1] && isConsonant(rest[0])
        && rest[0] != u'N')
        candidates << QString(rest[0]);
    for (const QString &s : std::as_const(candidates)) {
        if (!rest.startsWith(s))
            continue;
        if (units[u] == Nn && s == u"N" && !loneNAllowedBefore(rest.sliced(1)))
            continue;
        spans.append({units[u], int(s.size())});
        if (spell(units, u + 1, rest.sliced(s.size()), spans))
            return true;
        spans.removeLast();
    }
    return false;
}

QString guideFor(const QString &typed, const QStringList &spellings)
{
    for (const QString &s : spellings) {
        if (s.startsWith(typed))
            return s;
    }
    return spellings.value(0);
}

}

QStringList spellingsOf(const QString &halfWidthKana, const QString &tableRomaji)
{
    const QStringList units = unitsOf(halfWidthKana);
    if (units.isEmpty())
        return {tableRomaji};

    // Joined from the last unit back, so that ﾝ and ｯ see what follows them.
    QStringList tails{QString()};
    for (auto unit = units.crbegin(); unit != units.crend() && !tails.isEmpty(); ++unit) {
        QStringList joined;
        const auto add = [&joined](const QString &s) {
            if (s.size() <= MaxLetters && !joined.contains(s))
                joined << s;
        };
        if (*unit == SmallTsu) {
            for (const QString &t : tails) {
                if (!t.isEmpty() && isConsonant(t[0]) && t[0] != u'N')
                    add(t[0] + t);
            }
        }
        for (const QString &s : unitTable().value(*unit)) {
            const bool loneN = *unit == Nn && s == u"N";
            for (const QString &t : tails) {
                if (loneN && !loneNAllowedBefore(t))
                    continue;
                add(s + t);
            }
        }
        tails = joined;
    }

    QStringList all{tableRomaji};
    for (const QString &t : std::as_const(tails)) {
        if (t != tableRomaji)
            all << t;
    }
    return all;
}

QList<UnitSpan> unitSpans(const QString &halfWidthKana, const QString &spelling)
{
    QList<UnitSpan> spans;
    const QStringList units = unitsOf(halfWidthKana);
    if (units.isEmpty() || !spell(units, 0, spelling, spans))
        return {{halfWidthKana, int(spelling.size())}};
    return spans;
}

Judgement judgeKey(QStringView keyText, const QString &typed, const QStringList &spellings)
{
    Judgement j;
    j.guide = guideFor(typed, spellings);
    if (keyText.size() != 1)
        return j;
    j.key = foldedKey(keyText[0]);
    const QString next = typed + j.key;
    if (spellings.contains(next)) {
        j.verdict = KeyVerdict::Completed;
    } else if (std::any_of(spellings.cbegin(), spellings.cend(),
                           [&next](const QString &s) { return s.startsWith(next); })) {
        j.verdict = KeyVerdict::Advanced;
    } else {
        return j;
    }
    j.guide = guideFor(next, spellings);
    return j;
}

}
