#include "shell/settingsstore.h"

#include "platform/cp932.h"
#include "platform/textfile.h"

#include <QDir>
#include <optional>

namespace {
// Files the game reads whole; anything larger is damaged.
constexpr qint64 MaxSettingsBytes = 16 << 20;
}

SettingsStore::SettingsStore(const QString &folder, bool canSave)
    : m_folder(folder), m_canSave(canSave)
{
}

void SettingsStore::load(Settings &settings, Options &options)
{
    QStringList problems;
    // The file's bytes when it is there and readable.
    const auto read = [&problems](const QString &path, bool *keep) -> std::optional<QByteArray> {
        if (!TextFile::exists(path))
            return std::nullopt;
        TextFile::ReadResult file = TextFile::readAll(path, MaxSettingsBytes);
        if (file.ok())
            return file.bytes;
        *keep = true;
        problems << QDir::toNativeSeparators(path) + u'\n' + file.error;
        return std::nullopt;
    };
    if (const auto cfg = read(cfgPath(), &m_keepCfg))
        settings.applyFile(Cp932::decode(*cfg));
    else if (m_keepCfg)
        settings.applyUnreadableFile();
    // Missing or damaged: every option off.
    if (const auto ini = read(iniPath(), &m_keepIni))
        options = Options::fromIni(*ini);
    if (!problems.isEmpty() && m_canSave) {
        m_problem = QStringLiteral("設定ファイルを読み込めません。今回は設定を保存しません。\n")
            + problems.join(u'\n');
    }
}

QString SettingsStore::save(const Settings &settings, const Options &options,
                            QString *failedPath) const
{
    // The player was told at start-up; once is enough.
    if (!m_canSave)
        return {};
    QList<TextFile::Replacement> files;
    if (!m_keepCfg)
        files.append({cfgPath(), settings.toFile()});

    // A player who never touched an option gets no new file, and an odd
    // thing standing in its place (a FIFO, say) does not stop the save.
    QString error;
    const bool iniExists = TextFile::exists(iniPath());
    if (!m_keepIni && (iniExists || !options.isDefault())) {
        // A damaged one is written afresh.
        const QByteArray previous =
            iniExists ? TextFile::readAll(iniPath(), MaxSettingsBytes).bytes : QByteArray();
        QByteArray content;
        if (!options.toIni(previous, &content, &error)) {
            if (failedPath)
                *failedPath = iniPath();
            return error;
        }
        files.append({iniPath(), content});
    }
    if (files.isEmpty())
        return {};
    // Both files or neither: the settings never come back half old.
    return TextFile::replaceAll(files, failedPath);
}
