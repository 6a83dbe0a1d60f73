#include "Profile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <limits>

#include "DiskSeam.h"
#include "WholeFile.h"

namespace {

// The file as lines, with what is needed to write it back as it came:
// its byte-order mark and its line ending.
struct IniText
{
    QStringList lines;
    bool bom = false;
    bool crlf = false;
    bool endsWithNewline = true;
};

enum class IniRead { Missing, Whole, Failed };

// A file that is there but could not be read whole (refused, or a read cut
// short by the disk) is Failed, not Missing: what little was read must
// never be written back in its place.
IniRead readIni(const QString &fileName, IniText &ini)
{
    QFile file(fileName);
    if (fileName.isEmpty())
        return IniRead::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return QFileInfo::exists(fileName) ? IniRead::Failed : IniRead::Missing;
    QByteArray bytes;
    if (!DiskSeam::readAll(file, bytes))
        return IniRead::Failed;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        ini.bom = true;
        bytes.remove(0, 3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    // A file written by an older Windows copy is in the ANSI code page;
    // reading it as Latin-1 keeps its accented letters.
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    ini.crlf = text.contains(QLatin1String("\r\n"));
    ini.endsWithNewline = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    ini.lines = text.split(QLatin1Char('\n'));
    if (ini.endsWithNewline && !text.isEmpty())
        ini.lines.removeLast();
    if (text.isEmpty())
        ini.lines.clear();
    for (QString &line : ini.lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return IniRead::Whole;
}

bool writeIni(const QString &fileName, const IniText &ini)
{
    if (fileName.isEmpty())
        return false;
    // A settings file made read-only stays as it is, as it would on Windows
    // (replacing it through a new file would get round the protection).
    const QFileInfo existing(fileName);
    if (existing.exists() && !existing.isWritable())
        return false;
    const QString eol = ini.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = ini.lines.join(eol);
    if (!ini.lines.isEmpty() && ini.endsWithNewline)
        text += eol;
    QByteArray bytes = text.toUtf8();
    if (ini.bom)
        bytes.prepend("\xEF\xBB\xBF");
    // A crash or a full disk leaves the old file, never half of the new one.
    return WholeFile::write(fileName, bytes);
}

// The section name of a "[name]" line, or a null string for other lines.
QString sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    const int close = t.indexOf(QLatin1Char(']'));
    const QString name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

// Splits a "key=value" line; false for comments and lines without "=".
bool keyValueOf(const QString &line, QString *key, QString *value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
        return false;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value) {
        QString v = t.mid(eq + 1).trimmed();
        // A value written in matching quotes is read without them.
        if (v.size() >= 2
            && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Line index of the first section header with the name, or -1.
int findSection(const QStringList &lines, const QString &section)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines.at(i));
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

// One past the last line of the section whose header is at index header.
int sectionEnd(const QStringList &lines, int header)
{
    int i = header + 1;
    while (i < lines.size() && sectionOf(lines.at(i)).isNull())
        ++i;
    return i;
}

int findKey(const QStringList &lines, int header, const QString &key, QString *value = nullptr)
{
    const int end = sectionEnd(lines, header);
    for (int i = header + 1; i < end; ++i) {
        QString k;
        if (keyValueOf(lines.at(i), &k, value) && sameName(k, key))
            return i;
    }
    return -1;
}

bool lookUp(const QString &fileName, const QString &section, const QString &key, QString *value)
{
    IniText ini;
    if (readIni(fileName, ini) != IniRead::Whole)
        return false;
    const int header = findSection(ini.lines, section);
    return header >= 0 && findKey(ini.lines, header, key, value) >= 0;
}

} // namespace

QString Profile::getString(const QString &section, const QString &key,
                           const QString &defValue) const
{
    QString value;
    if (!lookUp(m_fileName, section, key, &value))
        return defValue;
    return value.isNull() ? QStringLiteral("") : value;
}

int Profile::getInt(const QString &section, const QString &key, int defValue) const
{
    QString value;
    if (!lookUp(m_fileName, section, key, &value))
        return defValue;
    int i = 0;
    bool negative = false;
    if (i < value.size() && (value.at(i) == QLatin1Char('-') || value.at(i) == QLatin1Char('+'))) {
        negative = value.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 n = 0;
    for (; i < value.size() && value.at(i) >= QLatin1Char('0') && value.at(i) <= QLatin1Char('9');
         ++i) {
        n = n * 10 + (value.at(i).unicode() - '0');
        // Beyond the range of a Long the value is pinned to its limit.
        if (n > qint64(std::numeric_limits<int>::max()) + 1)
            n = qint64(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        n = -n;
    return int(qBound(qint64(std::numeric_limits<int>::min()), n,
                      qint64(std::numeric_limits<int>::max())));
}

bool Profile::hasKey(const QString &section, const QString &key) const
{
    return lookUp(m_fileName, section, key, nullptr);
}

bool Profile::writeString(const QString &section, const QString &key, const QString &value)
{
    if (m_fileName.isEmpty() || section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return false;
    IniText ini;
    if (readIni(m_fileName, ini) == IniRead::Failed)
        return false;
    // A line break in a value would split it into lines of its own.
    QString flat = value;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" "));
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));

    const int header = findSection(ini.lines, section);
    if (header < 0) {
        if (!ini.lines.isEmpty() && !ini.lines.last().trimmed().isEmpty())
            ini.lines.append(QString());
        ini.lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        ini.lines.append(key.trimmed() + QLatin1Char('=') + flat);
        ini.endsWithNewline = true;
        return writeIni(m_fileName, ini);
    }
    const int at = findKey(ini.lines, header, key);
    if (at >= 0) {
        // The key keeps the spelling it has in the file.
        QString existing;
        keyValueOf(ini.lines.at(at), &existing, nullptr);
        ini.lines[at] = existing + QLatin1Char('=') + flat;
    } else {
        // New keys go after the section's last entry, before the blank
        // lines that part it from the next section.
        int insertAt = sectionEnd(ini.lines, header);
        while (insertAt > header + 1 && ini.lines.at(insertAt - 1).trimmed().isEmpty())
            --insertAt;
        ini.lines.insert(insertAt, key.trimmed() + QLatin1Char('=') + flat);
        if (insertAt == ini.lines.size() - 1)
            ini.endsWithNewline = true;
    }
    return writeIni(m_fileName, ini);
}

bool Profile::removeKey(const QString &section, const QString &key)
{
    IniText ini;
    const IniRead read = readIni(m_fileName, ini);
    if (read != IniRead::Whole)
        return read == IniRead::Missing;
    const int header = findSection(ini.lines, section);
    const int at = header < 0 ? -1 : findKey(ini.lines, header, key);
    if (at < 0)
        return true;
    ini.lines.removeAt(at);
    return writeIni(m_fileName, ini);
}
