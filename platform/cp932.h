#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

// Every file of the game is CP932 (Shift_JIS, Microsoft table) whatever the
// locale, so that files stay interchangeable with Japanese Windows systems.
namespace Cp932 {

QString decode(const QByteArray &bytes);
// A character CP932 cannot hold becomes "?".
QByteArray encode(QStringView text);

}
