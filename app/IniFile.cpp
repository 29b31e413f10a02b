// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cstdint>

namespace lmk {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 ... 0x9F. Its five unassigned bytes map to the
// C1 control characters of the same number, so every byte decodes to something.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80 ... 87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88 ... 8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90 ... 97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98 ... 9F
};

bool IsAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut-off sequences.
bool IsValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int continuation;                   // bytes after the lead byte
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the first of them
        if (lead >= 0xC2 && lead <= 0xDF)
            continuation = 1;
        else if (lead >= 0xE0 && lead <= 0xEF) {
            continuation = 2;
            if (lead == 0xE0)
                low = 0xA0;  // overlong below U+0800
            else if (lead == 0xED)
                high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            continuation = 3;
            if (lead == 0xF0)
                low = 0x90;  // overlong below U+10000
            else if (lead == 0xF4)
                high = 0x8F;  // above U+10FFFF
        } else
            return false;
        if (n - i <= continuation || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= continuation; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += continuation + 1;
    }
    return true;
}

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The digits as an unsigned number, or nullopt when a digit is wrong or the number passes limit.
std::optional<std::uint64_t> ParseDigits(QStringView digits, int base, std::uint64_t limit)
{
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (QChar c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

QString Folded(QStringView name) { return name.trimmed().toString().toCaseFolded(); }

// Of several equal names the first one counts.
void InsertFirst(QHash<QString, qsizetype> &index, const QString &name, qsizetype position)
{
    if (!index.contains(name))
        index.insert(name, position);
}

}  // namespace

std::optional<int> ParseIniInteger(QStringView text)
{
    text = text.trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.sliced(1);
    const bool hex = text.startsWith(u'$');
    const bool hex0x = text.startsWith(u"0x") || text.startsWith(u"0X");
    if (hex || hex0x) {
        const auto value = ParseDigits(text.sliced(hex ? 1 : 2), 16, 0xFFFFFFFFu);
        if (!value)
            return std::nullopt;
        // Hexadecimal is the 32-bit pattern: "$FFFFFFFF" is -1, as colour values need it.
        const auto bits = static_cast<std::uint32_t>(*value);
        return static_cast<int>(negative ? 0u - bits : bits);
    }
    const std::uint64_t limit = negative ? std::uint64_t(INT32_MAX) + 1 : INT32_MAX;
    const auto value = ParseDigits(text, 10, limit);
    if (!value)
        return std::nullopt;
    return static_cast<int>(negative ? -static_cast<std::int64_t>(*value) : *value);
}

QString DecodeIniLine(QByteArrayView bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeWindows1252(bytes);
}

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return;
    if (!info.isFile()) {
        FReadError = QStringLiteral("keine gewöhnliche Datei");
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        FReadError = file.errorString();
        return;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        FReadError = file.errorString();
        return;
    }
    if (bytes.size() > kMaxFileBytes) {
        FReadError = QStringLiteral("die Datei ist zu groß");
        return;
    }
    Parse(bytes);
}

TIniFile TIniFile::FromBytes(QByteArrayView bytes)
{
    TIniFile ini;
    ini.Parse(bytes);
    return ini;
}

void TIniFile::Parse(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    while (!bytes.isEmpty()) {
        const qsizetype lineEnd = bytes.indexOf('\n');
        QByteArrayView line = lineEnd < 0 ? bytes : bytes.first(lineEnd);
        bytes = lineEnd < 0 ? QByteArrayView() : bytes.sliced(lineEnd + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        AddLine(DecodeIniLine(line));
    }
}

void TIniFile::AddLine(QString line)
{
    const QStringView trimmed = QStringView(line).trimmed();
    const qsizetype close = trimmed.indexOf(u']');
    if (trimmed.startsWith(u'[') && close > 0) {
        InsertFirst(FSectionIndex, Folded(trimmed.sliced(1, close - 1)), FSections.size());
        FSections.push_back(TSection{std::move(line), {}, {}, -1});
        return;
    }
    if (FSections.empty()) {
        // Keys before the first section belong to no section and are never read.
        if (FHasPreamble)
            FPreamble += u'\n';
        FPreamble += line;
        FHasPreamble = true;
        return;
    }
    const qsizetype equalsAt = line.indexOf(u'=');
    const bool comment = trimmed.startsWith(u';') || trimmed.startsWith(u'#');
    if (!comment && equalsAt > 0 && !QStringView(line).first(equalsAt).trimmed().isEmpty())
        AddKeyLine(std::move(line), equalsAt);
    else
        AddOtherLine(line);
}

void TIniFile::AddKeyLine(QString line, qsizetype equalsAt)
{
    TSection &section = FSections.back();
    qsizetype valueStart = equalsAt + 1;
    while (valueStart < line.size() && (line[valueStart] == u' ' || line[valueStart] == u'\t'))
        ++valueStart;
    const qsizetype index = qsizetype(section.Entries.size());
    InsertFirst(section.Keys, Folded(QStringView(line).first(equalsAt)), index);
    section.Entries.push_back(TEntry{std::move(line), valueStart});
    section.LastKey = index;
}

void TIniFile::AddOtherLine(const QString &line)
{
    std::vector<TEntry> &entries = FSections.back().Entries;
    if (!entries.empty() && !entries.back().IsKey()) {
        entries.back().Text += u'\n';
        entries.back().Text += line;
    } else
        entries.push_back(TEntry{line, -1});
}

const TIniFile::TEntry *TIniFile::Find(QStringView section, QStringView key) const
{
    const auto s = FSectionIndex.constFind(Folded(section));
    if (s == FSectionIndex.constEnd())
        return nullptr;
    const TSection &found = FSections[*s];
    const auto k = found.Keys.constFind(Folded(key));
    return k == found.Keys.constEnd() ? nullptr : &found.Entries[*k];
}

std::optional<QString> TIniFile::Value(QStringView section, QStringView key) const
{
    const TEntry *entry = Find(section, key);
    if (!entry)
        return std::nullopt;
    return QStringView(entry->Text).sliced(entry->ValueStart).trimmed().toString();
}

QString TIniFile::ReadString(QStringView section, QStringView key, const QString &fallback) const
{
    return Value(section, key).value_or(fallback);
}

int TIniFile::ReadInteger(QStringView section, QStringView key, int fallback) const
{
    const std::optional<QString> text = Value(section, key);
    const std::optional<int> value = text ? ParseIniInteger(*text) : std::nullopt;
    return value.value_or(fallback);
}

bool TIniFile::ReadBool(QStringView section, QStringView key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

TIniFile::TSection &TIniFile::SectionForWriting(QStringView section)
{
    const auto found = FSectionIndex.constFind(Folded(section));
    if (found != FSectionIndex.constEnd())
        return FSections[*found];
    FSectionIndex.insert(Folded(section), FSections.size());
    FSections.push_back(TSection{u'[' + section.toString() + u']', {}, {}, -1});
    return FSections.back();
}

void TIniFile::WriteString(QStringView section, QStringView key, const QString &value)
{
    // A line break would end the line and turn the rest of the value into lines of its own.
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');

    TSection &target = SectionForWriting(section);
    const auto found = target.Keys.constFind(Folded(key));
    if (found != target.Keys.constEnd()) {
        TEntry &entry = target.Entries[*found];
        entry.Text.truncate(entry.ValueStart);
        entry.Text += oneLine;
        return;
    }
    // After the last key line: comments and blank lines that end the section stay at its end.
    const qsizetype index = target.LastKey + 1;
    const QString name = key.trimmed().toString();
    target.Entries.insert(target.Entries.begin() + index,
                          TEntry{name + u'=' + oneLine, name.size() + 1});
    target.Keys.insert(Folded(name), index);
    target.LastKey = index;
}

void TIniFile::WriteInteger(QStringView section, QStringView key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(QStringView section, QStringView key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray TIniFile::ToBytes() const
{
    QString text;
    const auto addLine = [&text](const QString &line) {
        text += line;
        text += u'\n';
    };
    if (FHasPreamble)
        addLine(FPreamble);
    for (const TSection &section : FSections) {
        addLine(section.Header);
        for (const TEntry &entry : section.Entries)
            addLine(entry.Text);
    }
    return text.toUtf8();
}

void TIniFile::UpdateFile() const
{
    const QString shownName = QDir::toNativeSeparators(FFileName);
    if (!FReadError.isEmpty())
        throw TIniFileError(QStringLiteral("Die vorhandene Datei \"%1\" konnte nicht gelesen werden "
                                           "(%2) und wird darum nicht überschrieben.")
                                .arg(shownName, FReadError));
    const QByteArray bytes = ToBytes();
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw TIniFileError(QStringLiteral("%1: %2").arg(shownName, file.errorString()));
}

}  // namespace lmk
