#include "game/kana.h"

namespace {

const QString HalfRow = QStringLiteral(
    "｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ");
const QString FullRow = QStringLiteral(
    "。「」、・をぁぃぅぇぉゃゅょっあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわん");

struct MarkPass
{
    QChar mark;
    QString bases;
    QString combined;
    QChar lone;
};

const MarkPass Passes[] = {
    {QChar(0xFF9E), QStringLiteral("うかきくけこさしすせそたちつてとはひふへほ"),
     QStringLiteral("ヴがぎぐげござじずぜぞだぢづでどばびぶべぼ"), QChar(0x309B)},
    {QChar(0xFF9F), QStringLiteral("はひふへほ"), QStringLiteral("ぱぴぷぺぽ"), QChar(0x309C)},
};

}

QString HanToZen(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const qsizetype k = HalfRow.indexOf(c);
        if (k >= 0)
            c = FullRow[k];
    }

    for (const MarkPass &pass : Passes) {
        qsizetype p = out.indexOf(pass.mark);
        while (p >= 0) {
            const qsizetype q = p > 0 ? pass.bases.indexOf(out[p - 1]) : -1;
            if (q >= 0) {
                out.replace(p - 1, 2, pass.combined[q]);
                p -= 1;
            } else {
                out[p] = pass.lone;
            }
            // Everything left of p holds no mark any more, so the search for
            // the leftmost copy can go on from here.
            p = out.indexOf(pass.mark, p);
        }
    }
    return out;
}
