#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

// Every file of the game is CP932 (Shift_JIS, Microsoft table) whatever the
// locale, so that files stay interchangeable with Japanese Windows systems.
namespace Cp932 {

QString decode(const QByteArray &bytes);
// The same for many short texts in a row: opening the converter costs several
// times more than converting a name.
class Decoder
{
public:
    Decoder();
    QString operator()(QByteArrayView bytes);

private:
    QStringDecoder m_decoder;
};
// A character CP932 cannot hold becomes "?".
QByteArray encode(QStringView text);

}
