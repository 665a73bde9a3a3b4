#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>

// Romaji.tbl, CP932 text, one field per line:
//   the kana section (half-width katakana), a separator "@",
//   the romaji section (capitals) in the same order, a closing "@" or empty line.
// Fields are read as comma-delimited sequential text and trimmed of blanks;
// nothing after the closing field is read. Entries pair by position only.
// The lists keep the slots 0 to 170: the separator and the closing field are
// stored in the slot after their section, and RomaCount counts the closing one.
class RomajiTable
{
public:
    static constexpr int LastSlot = 170;

    enum class Error {
        None,
        EndsBeforeSeparator,
        EndsBeforeClosingField,
        TooManyKana,
        TooManyRomaji,
        NothingToDraw,
    };

    RomajiTable();

    // Parses decoded text. On an error the table is left empty.
    static RomajiTable parse(QStringView text, Error *error);
    static QString describe(Error error);

    struct Loaded;
    // Reads the word list at `path`; on failure, the message for the player,
    // which names the file unless it is the shipped one beside the program.
    static Loaded load(const QString &path, const QString &shippedPath);
    static QString missingMessage(const QString &path, const QString &shippedPath);

    // Only entries whose romaji is a single vowel or two or three capitals
    // A to Z are ever drawn as prompts.
    static bool isAccepted(const QString &romaji);
    bool hasAcceptedEntry() const;

    QStringList KanaList;
    QStringList RomaList;
    int RomaCount = 0;
};

struct RomajiTable::Loaded
{
    RomajiTable table;
    QString error; // empty when the table is in use
};
