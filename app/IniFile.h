// SPDX-License-Identifier: GPL-3.0-or-later
// An INI file of sections ("[Name]") and keys ("Key=Value") that is edited in place: writing a
// key changes only its value and leaves every other line of the file where it was, so unknown
// keys and sections, comments and blank lines survive a read and a write.
//
// Reading rules: section and key names compare without regard to case; the first of several
// equal sections or keys counts (and is the one that writing changes); values are trimmed;
// lines without "=", comments (";" or "#") and keys before the first section are kept but never
// read. Lines may end in LF or CR LF; a leading UTF-8 byte-order mark is skipped. Each line is
// decoded as UTF-8 when it is valid UTF-8, otherwise as Windows-1252 (files of older versions).
// Writing produces UTF-8 with LF line ends.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>
#include <optional>
#include <stdexcept>
#include <vector>

namespace lmk {

// A settings file that cannot be written (or must not be overwritten); what() is the reason.
class TIniFileError : public std::runtime_error {
public:
    explicit TIniFileError(const QString &reason) : std::runtime_error(reason.toStdString()) {}
    QString Reason() const { return QString::fromStdString(what()); }
};

// An integer as the INI file writes it: decimal with an optional sign, or hexadecimal after "$",
// "0x" or "0X" (also with a sign). Hexadecimal takes up to 32 bits as the bit pattern
// ("$FFFFFFFF" is -1); decimal must fit a 32-bit signed integer. Anything else is no number.
std::optional<int> ParseIniInteger(QStringView text);

// Decodes one line: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodeIniLine(QByteArrayView bytes);

class TIniFile {
public:
    // A file larger than this is no settings file of ours; it is left alone.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    TIniFile() = default;
    // Reads the file. A missing file gives an empty one; a file that exists but cannot be read
    // gives an empty one too and remembers why, so that UpdateFile never replaces content it
    // has not seen.
    explicit TIniFile(const QString &fileName);
    static TIniFile FromBytes(QByteArrayView bytes);

    QString FileName() const { return FFileName; }
    // Empty when the file was read (or did not exist); else why it could not be read.
    QString ReadError() const { return FReadError; }

    // The trimmed value, or nullopt when the section or key is missing.
    std::optional<QString> Value(QStringView section, QStringView key) const;
    QString ReadString(QStringView section, QStringView key, const QString &fallback) const;
    int ReadInteger(QStringView section, QStringView key, int fallback) const;
    // Read as an integer with the fallback 1 or 0; every value other than 0 is true.
    bool ReadBool(QStringView section, QStringView key, bool fallback) const;

    // Sets the value of the key, in place when the key exists; otherwise the key is added after
    // the last key of its section, and a missing section is added at the end of the file. Line
    // breaks cannot be part of a value; they are written as blanks.
    void WriteString(QStringView section, QStringView key, const QString &value);
    void WriteInteger(QStringView section, QStringView key, int value);
    void WriteBool(QStringView section, QStringView key, bool value);

    // The whole file as written: UTF-8, every line ending in LF.
    QByteArray ToBytes() const;
    // Writes ToBytes() to a temporary file in the same folder and renames it over FileName(), so
    // a failure never leaves half a file. Throws TIniFileError with the reason when the file
    // cannot be written or when it could not be read (its unknown content would be lost).
    void UpdateFile() const;

private:
    // One entry of a section: either a single key line, or a run of lines that are not read
    // (blank lines, comments, lines without "="), kept joined with LF so that even a large
    // file of junk costs little more than its text.
    struct TEntry {
        QString Text;
        qsizetype ValueStart = -1;  // key lines: where the value begins (after "=" and blanks)
        bool IsKey() const { return ValueStart >= 0; }
    };
    struct TSection {
        QString Header;  // the "[Name]" line as written
        std::vector<TEntry> Entries;
        QHash<QString, qsizetype> Keys;  // case-folded key name -> index of its first line
        qsizetype LastKey = -1;          // index of the last key line, -1 when there is none
    };

    void Parse(QByteArrayView bytes);
    void AddLine(QString line);
    void AddKeyLine(QString line, qsizetype equalsAt);
    void AddOtherLine(const QString &line);
    const TEntry *Find(QStringView section, QStringView key) const;
    TSection &SectionForWriting(QStringView section);

    QString FFileName;
    QString FReadError;
    QString FPreamble;           // lines before the first section, joined with LF
    bool FHasPreamble = false;
    std::vector<TSection> FSections;
    QHash<QString, qsizetype> FSectionIndex;  // case-folded name -> index of its first section
};

}  // namespace lmk
