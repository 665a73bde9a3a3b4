#include "platform/cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr const char *CodecName = "windows-31j";
}

QString Cp932::decode(const QByteArray &bytes)
{
    QStringDecoder decoder(CodecName);
    return decoder.decode(bytes);
}

Cp932::Decoder::Decoder() : m_decoder(CodecName) {}

QString Cp932::Decoder::operator()(QByteArrayView bytes)
{
    QString text = m_decoder.decode(bytes);
    m_decoder.resetState();
    return text;
}

QByteArray Cp932::encode(QStringView text)
{
    QStringEncoder encoder(CodecName);
    QByteArray whole = encoder.encode(text);
    if (!encoder.hasError())
        return whole;

    // The converter writes its own filler for unmappable characters; redo it
    // one code point at a time so that each of them becomes a single "?".
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype len = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            len = 2;
        QStringEncoder one(CodecName);
        const QByteArray bytes = one.encode(text.mid(i, len));
        if (one.hasError() || bytes.isEmpty())
            out.append('?');
        else
            out.append(bytes);
        i += len;
    }
    return out;
}
