#pragma once
#include <QString>

// Turns half-width katakana and punctuation into full-width hiragana, joining a
// voiced (ﾞ) or semi-voiced (ﾟ) mark with the kana before it. A mark with
// nothing to join stays in place as the full-width mark "゛" or "゜".
QString HanToZen(const QString &text);
