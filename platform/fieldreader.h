#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Reads comma-delimited sequential text one field at a time:
// - blanks (space, tab) before a field are skipped;
// - a field that begins with a double quote runs to the next double quote on
//   the same line, the quotes are dropped, and whatever follows up to the next
//   comma or line end is skipped; an unclosed quote runs to the line end;
// - any other field runs to the next comma or line end;
// - the comma or line end (CR LF, LF or a lone CR) that ends a field is consumed;
// - an empty line is one empty field.
// Reading past the end yields an empty field and sets readPastEnd().
//
// Works on decoded text or on raw CP932 bytes alike: no trail byte of a CP932
// double-byte character is a blank, a comma, a quote or a line end.
template <typename View>
class BasicFieldReader
{
public:
    explicit BasicFieldReader(View text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    bool readPastEnd() const { return m_pastEnd; }

    // The field as a view into the text given to the constructor.
    View next()
    {
        const qsizetype size = m_text.size();
        if (m_pos >= size) {
            m_pastEnd = true;
            return {};
        }
        while (m_pos < size && isBlank(at(m_pos)))
            ++m_pos;

        View field;
        if (m_pos < size && at(m_pos) == '"') {
            const qsizetype start = ++m_pos;
            while (m_pos < size && at(m_pos) != '"' && !isLineEnd(at(m_pos)))
                ++m_pos;
            field = m_text.sliced(start, m_pos - start);
            if (m_pos < size && at(m_pos) == '"')
                ++m_pos;
            skipToDelimiter();
        } else {
            const qsizetype start = m_pos;
            skipToDelimiter();
            field = m_text.sliced(start, m_pos - start);
        }

        if (m_pos < size && at(m_pos) == ',')
            ++m_pos;
        else
            consumeLineEnd();
        return field;
    }

private:
    char16_t at(qsizetype i) const
    {
        if constexpr (std::is_same_v<View, QStringView>)
            return m_text[i].unicode();
        else
            return static_cast<unsigned char>(m_text[i]);
    }
    static bool isBlank(char16_t c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(char16_t c) { return c == '\r' || c == '\n'; }

    void skipToDelimiter()
    {
        while (m_pos < m_text.size() && at(m_pos) != ',' && !isLineEnd(at(m_pos)))
            ++m_pos;
    }
    void consumeLineEnd()
    {
        if (m_pos < m_text.size() && at(m_pos) == '\r')
            ++m_pos;
        if (m_pos < m_text.size() && at(m_pos) == '\n')
            ++m_pos;
    }

    View m_text;
    qsizetype m_pos = 0;
    bool m_pastEnd = false;
};

using FieldReader = BasicFieldReader<QStringView>;
using ByteFieldReader = BasicFieldReader<QByteArrayView>;
