#include "KezCollation.h"

#include <QVarLengthArray>

#ifdef KEZ_SQLITE_EXTENSION
// In the loadable extension SQLite's functions are those of the program
// that loads it, reached through the table it hands over.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

#include <algorithm>
#include <array>

namespace {

// Latin letters up to Latin Extended-B fold through a table built once;
// everything else through Qt's Unicode data, one character at a time.
constexpr char32_t TableSize = 0x250;

struct Folding
{
    char16_t unit[2];   // 0 = nothing (a combining accent folds away)
};

Folding foldOne(char32_t cp)
{
    switch (cp) {
    case 0x00DF: return {{u's', u's'}};     // ß
    case 0x00C6: case 0x00E6: return {{u'a', u'e'}};
    case 0x0152: case 0x0153: return {{u'o', u'e'}};
    case 0x00D8: case 0x00F8: return {{u'o', 0}};
    case 0x0110: case 0x0111: return {{u'd', 0}};
    case 0x0141: case 0x0142: return {{u'l', 0}};
    default: break;
    }
    if (QChar::category(cp) == QChar::Mark_NonSpacing)
        return {{0, 0}};
    char32_t base = cp;
    while (QChar::decompositionTag(base) == QChar::Canonical) {
        const QString d = QChar::decomposition(base);
        if (d.isEmpty())
            break;
        const char32_t first = d.at(0).isHighSurrogate() && d.size() > 1
                ? QChar::surrogateToUcs4(d.at(0), d.at(1)) : d.at(0).unicode();
        if (first == base)
            break;
        base = first;
    }
    base = QChar::toCaseFolded(base);
    if (base > 0xFFFF)          // outside the table's range: keep as is
        return {{0xFFFF, 0}};
    return {{char16_t(base), 0}};
}

const std::array<Folding, TableSize> &table()
{
    static const std::array<Folding, TableSize> t = [] {
        std::array<Folding, TableSize> a{};
        for (char32_t cp = 0; cp < TableSize; ++cp)
            a[cp] = foldOne(cp);
        return a;
    }();
    return t;
}

const std::array<unsigned char, 128> &asciiLower()
{
    static const std::array<unsigned char, 128> t = [] {
        std::array<unsigned char, 128> a{};
        for (int c = 0; c < 128; ++c)
            a[c] = (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return a;
    }();
    return t;
}

// Code points from UTF-8 bytes; a malformed byte reads as Latin-1 so that
// any stored text still compares.
struct Utf8Source
{
    const unsigned char *p;
    const unsigned char *end;

    bool atEnd() const { return p >= end; }
    bool asciiNext() const { return *p < 0x80; }
    unsigned char takeAscii() { return *p++; }
    char32_t take()
    {
        const unsigned char b = *p;
        int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 ? 1 : 0;
        if (extra == 0 || end - p <= extra) {
            ++p;
            return b;
        }
        char32_t cp = b & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                ++p;
                return b;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        p += extra + 1;
        return cp;
    }
};

struct Utf16Source
{
    const QChar *p;
    const QChar *end;

    bool atEnd() const { return p >= end; }
    bool asciiNext() const { return p->unicode() < 0x80; }
    unsigned char takeAscii() { return static_cast<unsigned char>((p++)->unicode()); }
    char32_t take()
    {
        const QChar c = *p++;
        if (c.isHighSurrogate() && p < end && p->isLowSurrogate())
            return QChar::surrogateToUcs4(c, *p++);
        return c.unicode();
    }
};

// The folded characters of a text, one at a time, without building it.
template <typename Source>
class Folded
{
public:
    explicit Folded(Source s) : m_src(s) {}

    // Next folded character, or -1 at the end.
    int next()
    {
        if (m_pending) {
            const int c = m_pending;
            m_pending = 0;
            return c;
        }
        while (!m_src.atEnd()) {
            if (m_src.asciiNext())
                return asciiLower()[m_src.takeAscii()];
            const char32_t cp = m_src.take();
            const Folding f = cp < TableSize ? table()[cp] : foldOne(cp);
            if (f.unit[0] == 0)
                continue;
            m_pending = f.unit[1];
            return f.unit[0] == 0xFFFF && cp > 0xFFFF ? int(cp) : f.unit[0];
        }
        return -1;
    }

private:
    Source m_src;
    int m_pending = 0;
};

template <typename A, typename B>
int compareFolded(Folded<A> a, Folded<B> b)
{
    for (;;) {
        const int ca = a.next();
        const int cb = b.next();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca < 0)
            return 0;
    }
}

int collate(void *, int lenA, const void *a, int lenB, const void *b)
{
    const auto *pa = static_cast<const unsigned char *>(a);
    const auto *pb = static_cast<const unsigned char *>(b);
    // Sorted names share long beginnings: identical bytes fold alike, so
    // folding starts where they part (at the start of that character, as
    // each character folds on its own).
    int same = 0;
    const int shorter = std::min(lenA, lenB);
    while (same < shorter && pa[same] == pb[same])
        ++same;
    const unsigned char *longer = lenA > same ? pa : pb;
    while (same > 0 && same < std::max(lenA, lenB) && (longer[same] & 0xC0) == 0x80)
        --same;
    return compareFolded(Folded<Utf8Source>({pa + same, pa + lenA}), Folded<Utf8Source>({pb + same, pb + lenB}));
}

// Wildcards sit outside Unicode so a folded literal never looks like one.
constexpr int AnyRun = 0x200000;
constexpr int AnyOne = 0x200001;

using Units = QVarLengthArray<int, 128>;

// Wildcard match that backtracks only to the last "%": linear for the
// usual patterns, never exponential.
bool matches(const Units &pat, const Units &str)
{
    int pi = 0, si = 0, starPi = -1, starSi = 0;
    while (si < str.size()) {
        if (pi < pat.size() && pat[pi] == AnyRun) {
            starPi = ++pi;
            starSi = si;
        } else if (pi < pat.size() && (pat[pi] == AnyOne || pat[pi] == str[si])) {
            ++pi;
            ++si;
        } else if (starPi >= 0) {
            pi = starPi;
            si = ++starSi;
        } else {
            return false;
        }
    }
    while (pi < pat.size() && pat[pi] == AnyRun)
        ++pi;
    return pi == pat.size();
}

// LIKE that ignores case and accents for every letter, not only ASCII:
// a search for "forli" finds "Forlì".
void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return;     // result NULL
    char32_t escape = 0;
    bool hasEscape = false;
    if (argc == 3) {
        const auto *e = sqlite3_value_text(argv[2]);
        Utf8Source es{e, e + sqlite3_value_bytes(argv[2])};
        if (es.atEnd()) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = es.take();
        if (!es.atEnd()) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        hasEscape = true;
    }
    const auto *pt = sqlite3_value_text(argv[0]);
    const int pn = sqlite3_value_bytes(argv[0]);
    const auto *st = sqlite3_value_text(argv[1]);
    const int sn = sqlite3_value_bytes(argv[1]);
    Units pat;
    Utf8Source ps{pt, pt + pn};
    while (!ps.atEnd()) {
        char32_t cp = ps.take();
        if (hasEscape && cp == escape && !ps.atEnd()) {
            cp = ps.take();
        } else if (cp == U'%') {
            pat.append(AnyRun);
            continue;
        } else if (cp == U'_') {
            pat.append(AnyOne);
            continue;
        }
        QString one = QString::fromUcs4(&cp, 1);
        Folded<Utf16Source> f({one.constData(), one.constData() + one.size()});
        for (int c = f.next(); c >= 0; c = f.next())
            pat.append(c);
    }
    Units str;
    Folded<Utf8Source> fs({st, st + sn});
    for (int c = fs.next(); c >= 0; c = fs.next())
        str.append(c);
    sqlite3_result_int(ctx, matches(pat, str) ? 1 : 0);
}

} // namespace

namespace KezCollation {

QString fold(const QString &text)
{
    QString out;
    out.reserve(text.size());
    Folded<Utf16Source> f({text.constData(), text.constData() + text.size()});
    for (int c = f.next(); c >= 0; c = f.next()) {
        if (c > 0xFFFF) {
            out.append(QChar::highSurrogate(char32_t(c)));
            out.append(QChar::lowSurrogate(char32_t(c)));
        } else {
            out.append(QChar(char16_t(c)));
        }
    }
    return out;
}

int compare(const QString &a, const QString &b)
{
    return compareFolded(Folded<Utf16Source>({a.constData(), a.constData() + a.size()}),
                         Folded<Utf16Source>({b.constData(), b.constData() + b.size()}));
}

bool registerOn(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_collation(db, "KEZ", SQLITE_UTF8, nullptr, collate) == SQLITE_OK
        && sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr) == SQLITE_OK;
}

} // namespace KezCollation
