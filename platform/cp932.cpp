#include "platform/cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr const char *CodecName = "windows-31j";

// Printable ASCII, tabs, line ends and half-width katakana, all one byte each
// in CP932: the word list and most settings files hold nothing else, and
// reading them this way spares the start-up the opening of the converter.
// (The converter swaps a few control codes, 1A, 1C and 7F, so they go to it.)
bool decodeSingleBytes(QByteArrayView bytes, QString *text)
{
    text->resize(bytes.size());
    QChar *out = text->data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 0x20 && byte < 0x7F) || byte == '\t' || byte == '\r' || byte == '\n')
            *out++ = QChar(byte);
        else if (byte >= 0xA1 && byte <= 0xDF)
            *out++ = QChar(char16_t(0xFF61 + (byte - 0xA1)));
        else
            return false;
    }
    return true;
}
}

QString Cp932::decode(const QByteArray &bytes)
{
    QString text;
    if (decodeSingleBytes(bytes, &text))
        return text;
    QStringDecoder decoder(CodecName);
    return decoder.decode(bytes);
}

Cp932::Decoder::Decoder() : m_decoder(CodecName) {}

QString Cp932::Decoder::operator()(QByteArrayView bytes)
{
    QString text;
    if (decodeSingleBytes(bytes, &text))
        return text;
    text = m_decoder.decode(bytes);
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
