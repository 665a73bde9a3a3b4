#include "shell/settings.h"

#include "platform/cp932.h"
#include "platform/fieldreader.h"

void Settings::applyFile(QStringView text)
{
    askNameAtStart = true;
    FieldReader reader(text);
    QStringView buffer = reader.next();
    if (!reader.readPastEnd() && buffer.contains(u"False"))
        askNameAtStart = false;

    romajiMode = false;
    buffer = reader.next();
    if (!reader.readPastEnd() && buffer.contains(u"True"))
        romajiMode = true;

    const QStringView name = reader.next();
    if (!reader.readPastEnd())
        playerName = name.toString();
}

void Settings::applyUnreadableFile()
{
    askNameAtStart = true;
    romajiMode = false;
}

namespace {
QString storableName(const QString &name)
{
    QString out = name;
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    const bool needsQuotes = out.contains(u',') || out.startsWith(u' ')
        || out.startsWith(u'\t') || out.startsWith(u'"');
    if (!needsQuotes)
        return out;
    // Inside quotes a quote would end the field.
    out.replace(u'"', QChar(0x201D));
    return u'"' + out + u'"';
}

QString word(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
}

QByteArray Settings::toFile() const
{
    return Cp932::encode(word(askNameAtStart) + QStringLiteral("\r\n") + word(romajiMode)
                         + QStringLiteral("\r\n") + storableName(playerName)
                         + QStringLiteral("\r\n"));
}
