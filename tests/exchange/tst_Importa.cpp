#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <algorithm>
#include <QLabel>
#include <QtTest>

#include <memory>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "ExchangeFixture.h"
#include "FileDialogSeam.h"
#include "Importa.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "OrdinaryUser.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "XmlStream.h"
#include "dbClass.h"
#include "expClass.h"
#include "kezClass.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxText.h"

using modMain::gDb;

// Files a clerk might be handed: a good one goes in with its counts shown;
// a broken, hostile or foreign one is refused with an Italian message and
// leaves the archive exactly as it was.
class tst_Importa : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> fx;
    QByteArray good;

    // A digest of every row of every table.
    static QByteArray checksum(const QString &dbPath)
    {
        DatabaseProbe db;
        if (!db.open(dbPath, true))
            return QByteArray();
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QString &table : db.column("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
            const QStringList cols = db.column("SELECT 'quote(' || name || ')' FROM pragma_table_info('" + table + "')");
            hash.addData(table.toUtf8());
            hash.addData(db.column("SELECT " + cols.join(" || '|' || ") + " FROM " + table + " ORDER BY rowid")
                             .join('\n')
                             .toUtf8());
        }
        return hash.result();
    }
    QString writeFile(const QByteArray &bytes) const
    {
        const QString path = fx->folder() + "prova.xml";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(bytes);
        return path;
    }
    static QByteArray replaced(QByteArray bytes, const char *from, const QByteArray &to)
    {
        const int at = int(bytes.indexOf(from));
        return at < 0 ? QByteArray("missing") : bytes.replace(at, int(qstrlen(from)), to);
    }
    // The good file with forty local units of its declaration, the last
    // one first: more than the slices the file is read in.
    QByteArray forty() const
    {
        QByteArray bytes = good;
        const int start = int(bytes.indexOf("<dichiarazione>"));
        const int end = int(bytes.indexOf("</dichiarazione>")) + 16;
        const QByteArray one = bytes.mid(start, end - start);
        for (int i = 2; i <= 40; ++i)
            bytes.insert(end, replaced(one, "<civico>1</civico>", "<civico>" + QByteArray::number(i) + "</civico>"));
        return bytes;
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::scriptDialogs();
        ShellFixture source;
        QVERIFY(source.openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115")));
        good = expClass(gDb->kezCnn).documento({1}, 1, QDateTime(QDate(2022, 4, 1), QTime(9, 30)));
        QVERIFY(good.contains("<Mesi>12</Mesi>"));
    }
    void init()
    {
        MessageBoxSeam::clearAsked();
        fx = std::make_unique<ShellFixture>();
        // The archive already holds a declaration and a company of its own.
        QVERIFY(fx->openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(5, "00743110157")
                                 + "INSERT INTO Ditte (codFisc, ragSoc) VALUES ('01234567897', 'GIA'' NOTA');"));
        QVERIFY(ExchangeFixture::placeSchema(fx->folder()));
    }
    void cleanup() { fx.reset(); }

    // The line of the file where marker begins.
    static QString at(const QByteArray &bytes, const char *marker)
    {
        const qsizetype where = bytes.indexOf(marker);
        return where < 0 ? QStringLiteral("missing") : QStringLiteral("riga %1").arg(bytes.left(where).count('\n') + 1);
    }

    // The verdict on a file read in slices of size bytes.
    static QString verdict(const QByteArray &bytes, qsizetype size)
    {
        XmlStream stream;
        for (qsizetype at = 0; at < bytes.size(); at += size)
            if (!stream.push(bytes.constData() + at, qMin(size, bytes.size() - at)))
                break;
        stream.finish();
        return stream.error();
    }

    static QString lastLine(const QByteArray &bytes)
    {
        return QStringLiteral("riga %1").arg(bytes.count('\n') + 1);
    }

    void refused_data()
    {
        // message: how the box begins; detail: a line it holds, naming the
        // place and what is wrong there, in the user's language.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        const QString unreadable = "Attenzione, il file non è un documento XML leggibile:\n";
        const QString schema = "Attenzione, il file non è conforme allo schema 2010-KEZ-dichiarazione.xsd:\n";
        const QString doctype = "Attenzione, il file contiene una dichiarazione di tipo documento";
        auto row = [](const char *name, const QByteArray &bytes, const QString &message, const QString &detail) {
            QTest::newRow(name) << bytes << message << detail;
        };
        row("empty", QByteArray(), unreadable, "il file è vuoto.");
        row("blank", QByteArray("\n  \n"), unreadable, "il file è vuoto.");
        // Cut short as a copy that stopped half way: between two lines, or
        // inside a tag.
        const QByteArray truncated = good.left(good.indexOf("\n  <schedaSBOP>"));
        row("truncated", truncated, unreadable,
            lastLine(truncated) + ", elemento <dichiarazione>: il file finisce prima della chiusura dell'elemento "
            "(file incompleto)");
        const QByteArray cutInTag = good.left(good.indexOf("<scQta>") + 3);
        row("truncated in a tag", cutInTag, unreadable,
            lastLine(cutInTag) + ", elemento <sc>: tag di apertura non chiuso da \">\"");
        // A copy of the good file with from changed to to; the detail
        // begins with the line where marker stands.
        auto changed = [this, row](const char *name, const char *from, const QByteArray &to, const QString &message,
                                   const char *marker, const QString &detail) {
            const QByteArray bytes = replaced(good, from, to);
            row(name, bytes, message, at(bytes, marker) + detail);
        };
        changed("tag changed", "</ragSoc>", "</ragSoX>", unreadable, "<ragSoc>",
                ", elemento <ragSoc>: il tag di chiusura </ragSoX> non corrisponde all'elemento aperto alla "
                + at(good, "<ragSoc>") + " (tag non chiuso o nome errato)");
        changed("tag not closed", "</ragSoc>", "", unreadable, "</dichiarazione>",
                ", elemento <ragSoc>: il tag di chiusura </dichiarazione> non corrisponde all'elemento aperto alla "
                + at(good, "<ragSoc>"));
        changed("start tag not ended", "<Mesi>", "<Mesi", unreadable, "<Mesi",
                ", elemento <Mesi12>: tag di apertura non chiuso da \">\"");
        changed("attribute without value", " numero=\"1\"", " numero", unreadable, "<esportazione",
                ", attributo \"numero\": attributo senza valore");
        changed("prefixed attribute repeated", " numero=\"1\"", " xmlns:q=\"urn:q\" q:nota=\"1\" q:nota=\"2\" numero=\"1\"",
                unreadable, "<esportazione", ", attributo \"nota\": attributo ripetuto");
        // A stray prefix alone leaves the file readable: told along with
        // what makes it unreadable.
        const QByteArray strayPrefix = replaced(truncated, " numero=\"1\"", " numero=\"1\" z:nota=\"x\"");
        row("prefix of an attribute not declared", strayPrefix, unreadable,
            at(strayPrefix, "<esportazione") + ", elemento <esportazione>, attributo \"nota\": prefisso \"z\" non dichiarato");
        changed("bytes changed", "DITTA", "\xff\xfe\x01TA", unreadable, "<ragSoc>",
                ": carattere non valido o non nella codifica del file");
        row("not xml", QByteArray("%PDF-1.3\n%\xe2\xe3\xcf\xd3\n1 0 obj"), unreadable,
            "riga 1: il file è vuoto o non inizia con un documento XML");
        changed("element missing", "<codFisc>11111111115</codFisc>", "", schema, "<ragSoc>",
                ", elemento <ragSoc>: elemento non previsto in questa posizione (atteso <codFisc>)");
        changed("element missing in a card", "<rifCod>150101</rifCod>", "", schema, "<scQta>",
                ", elemento <scQta>: elemento non previsto in questa posizione (atteso <rifCod>)");
        const QByteArray noChild = good.left(good.indexOf("<riutilizzo>") + 12) + good.mid(good.indexOf("</riutilizzo>"));
        row("required child missing", noChild, schema,
            at(noChild, "<riutilizzo>") + ", elemento <riutilizzo>: manca l'elemento obbligatorio <riuTipo>");
        changed("element repeated", "<Mesi>12</Mesi>", "<Mesi>12</Mesi><Mesi>12</Mesi>", schema, "<Mesi>",
                ", elemento <Mesi>: elemento non previsto in questa posizione (atteso uno fra <slPrvIstat>, "
                "<slComIstat>, <slVia>, <slCivico>, …)");
        changed("unknown element", "<Mesi>12</Mesi>", "<Mesi>12</Mesi><Note>x</Note>", schema, "<Note>",
                ", elemento <Note>: elemento non previsto in questa posizione (atteso uno fra");
        changed("wrong type", "<Mesi>12</Mesi>", "<Mesi>dodici</Mesi>", schema, "<Mesi>",
                ", elemento <Mesi>: il valore \"dodici\" non è un numero intero");
        changed("letters in a number", "<Addetti>12</Addetti>", "<Addetti>ventisei</Addetti>", schema, "<Addetti>",
                ", elemento <Addetti>: il valore \"ventisei\" non è un numero intero");
        changed("letters in an amount", "<scQta>1500</scQta>", "<scQta>mille</scQta>", schema, "<scQta>",
                ", elemento <scQta>: il valore \"mille\" non è un numero (con il punto per i decimali)");
        // Written as asked, but no such day, time or number.
        changed("no such day", "<saDataComp>2022-03-15", "<saDataComp>2022-02-30", schema, "<saDataComp>",
                ", elemento <saDataComp>: il valore \"2022-02-30\" non è una data esistente");
        changed("no such export hour", "2022-04-01T09:30:00", "2022-04-01T25:30:00", schema, "<esportazione",
                ", elemento <esportazione>, attributo \"dataOra\": il valore \"2022-04-01T25:30:00\" non è una data "
                "e ora esistente");
        changed("whole number beyond its kind", "<Addetti>12</Addetti>", "<Addetti>99999999999</Addetti>", schema,
                "<Addetti>", ", elemento <Addetti>: il valore \"99999999999\" è fuori dai limiti di un numero intero");
        changed("amount of too many digits", "<scQta>1500</scQta>", "<scQta>1234567890123456789012345</scQta>",
                schema, "<scQta>", ", elemento <scQta>: il valore \"1234567890123456789012345\" ha troppe cifre");
        changed("date written the Italian way", "<saDataComp>2022-03-15", "<saDataComp>15/03/2022", schema,
                "<saDataComp>",
                ", elemento <saDataComp>: il valore \"15/03/2022\" non è una data nella forma aaaa-mm-gg");
        changed("yes or no", "<saAnnulla>false</saAnnulla>", "<saAnnulla>forse</saAnnulla>", schema, "<saAnnulla>",
                ", elemento <saAnnulla>: il valore \"forse\" non è un valore sì/no (true, false, 1 o 0)");
        changed("huge number", "<scQta>1500</scQta>", "<scQta>99999999999999999999</scQta>", schema, "<scQta>",
                ", elemento <scQta>: il valore 99999999999999999999 è oltre il massimo ammesso (9999999.999)");
        changed("too many decimals", "<scQta>1500</scQta>", "<scQta>1.23456</scQta>", schema, "<scQta>",
                ", elemento <scQta>: il valore 1.23456 ha più dei 3 decimali ammessi");
        changed("negative", "<scQta>1500</scQta>", "<scQta>-1</scQta>", schema, "<scQta>",
                ", elemento <scQta>: il valore -1 non può essere negativo");
        changed("negative count", "<Addetti>12", "<Addetti>-3", schema, "<Addetti>",
                ", elemento <Addetti>: il valore -3 non può essere negativo");
        changed("below a minimum above zero", "<skmTipo>101", "<skmTipo>100", schema, "<skmTipo>",
                ", elemento <skmTipo>: il valore 100 è sotto il minimo ammesso (101)");
        changed("operation", "<Codice>R3</Codice>", "<Codice>R14</Codice>", schema, "<Codice>R14",
                ", elemento <Codice>: il valore \"R14\" non ha la forma richiesta");
        changed("unit", "<scUmi>1</scUmi>", "<scUmi>3</scUmi>", schema, "<scUmi>",
                ", elemento <scUmi>: il valore \"3\" non è fra quelli ammessi (1, 2)");
        changed("codice fiscale", "<codFisc>11111111115</codFisc>", "<codFisc>1111</codFisc>", schema,
                "<codFisc>1111<", ", elemento <codFisc>: il valore \"1111\" non ha la forma richiesta");
        changed("waste code", "<rifCod>150101</rifCod>", "<rifCod>15010A</rifCod>", schema, "<rifCod>",
                ", elemento <rifCod>: il valore \"15010A\" non ha la forma richiesta");
        changed("long name", "DITTA 1 S.R.L.", QByteArray(61, 'A'), schema, "<ragSoc>",
                ", elemento <ragSoc>: testo di 61 caratteri, oltre i 60 ammessi");
        changed("text among elements", "<schedaCONS>", "<schedaCONS>testo", schema, "<schedaCONS>",
                ", elemento <schedaCONS>: testo non ammesso: l'elemento contiene solo altri elementi");
        changed("export number", " numero=\"1\"", " numero=\"uno\"", schema, "<esportazione",
                ", elemento <esportazione>, attributo \"numero\": il valore \"uno\" non è un numero intero maggiore "
                "di zero");
        changed("no export number", " numero=\"1\"", "", schema, "<esportazione",
                ", elemento <esportazione>: manca l'attributo obbligatorio \"numero\"");
        changed("unknown attribute", " numero=\"1\"", " numero=\"1\" nota=\"x\"", schema, "<esportazione",
                ", elemento <esportazione>, attributo \"nota\": attributo non previsto");
        row("external entity",
            replaced(good, "<esportazione", "<!DOCTYPE esportazione [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                                            "\n<esportazione"),
            doctype, QString());
        row("billion laughs",
            replaced(good, "<esportazione",
                     "<!DOCTYPE esportazione [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
                     "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>\n"
                     "<esportazione")
                .replace("DITTA 1 S.R.L.", "&d;&d;&d;&d;&d;&d;&d;&d;"),
            doctype, QString());
        // Written in UTF-16 the declaration escapes a byte search: the parsed
        // document is refused instead.
        const QString laughs = QString::fromUtf8(
            replaced(good, "<esportazione",
                     "<!DOCTYPE esportazione [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n"
                     "<esportazione")
                .replace("DITTA 1 S.R.L.", "&b;&b;&b;&b;")
                .replace("encoding=\"UTF-8\"", "encoding=\"UTF-16\""));
        auto utf16 = [](const QString &s) { return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2); };
        row("laughs in UTF-16", "\xff\xfe" + utf16(laughs), doctype, QString());
        row("other namespace", replaced(good, "urn:kez:imballaggi:dichiarazione", "urn:altro:formato"),
            "Attenzione, il file non è un'esportazione di dichiarazioni KEZ.", QString());
        row("other version", replaced(good, "RAC-IT-06.02.18", "RAC-IT-05.01.00"),
            "Attenzione, il file è nel formato \"RAC-IT-05.01.00\", diverso dal formato \"RAC-IT-06.02.18\" di "
            "questo programma.",
            QString());
        row("other year", replaced(good, "anno=\"2021\"", "anno=\"2020\""),
            "Attenzione, il file contiene dichiarazioni dell'anno 2020: in questo archivio si importano solo quelle "
            "dell'anno 2021.",
            QString());
        row("no version", replaced(good, " versione=\"RAC-IT-06.02.18\"", ""),
            "Attenzione, il file non indica il proprio formato (manca l'attributo \"versione\" dell'esportazione).",
            QString());
        row("no year", replaced(good, " anno=\"2021\"", ""),
            "Attenzione, il file non indica l'anno delle dichiarazioni (manca l'attributo \"anno\" "
            "dell'esportazione).",
            QString());
        // Markup shaped to keep the parser busy is refused before it is read.
        QByteArray attributes;
        for (int i = 0; i < 100000; ++i)
            attributes += " a" + QByteArray::number(i) + "='x'";
        row("100,000 attributes", replaced(good, "<dichiarazione>", "<dichiarazione" + attributes + ">"),
            "Attenzione, il file ha un elemento con più di 32 attributi (riga 3), che un'esportazione KEZ non ha: "
            "file rifiutato.",
            QString());
        row("deep", replaced(good, "<Mesi>12</Mesi>", QByteArray("<a>").repeated(5000) + "12"),
            "Attenzione, il file ha elementi annidati oltre 32 livelli (riga 17)", QString());
        // Markup the scan could not read is refused too.
        row("declared EBCDIC", replaced(good, "encoding=\"UTF-8\"", "encoding=\"IBM037\""),
            "Attenzione, il file è nella codifica IBM037, che un'esportazione KEZ non usa: file rifiutato.",
            QString());
        // Named as ours, but no encoding libxml2 knows.
        for (const char *name : {"ISO-8859-12", "ISO-8859-99", "cp1259"})
            row(name, replaced(good, "UTF-8", name), QString("Attenzione, il file è nella codifica %1, che").arg(name), QString());
        row("EBCDIC", QByteArray("\x4c\x6f\xa7\x94\x93\x40\xa5\x85") + attributes,
            "Attenzione, il file è nella codifica EBCDIC", QString());
        // An encoding the declaration names, in which the markup is no ASCII bytes or bytes of another width, is
        // refused before the parser reads the markup it hides, wherever the declaration ends.
        const QByteArray sixty = attributes.left(attributes.indexOf(" a60="));
        const QByteArray body = replaced(good, "<dichiarazione>", "<dichiarazione" + sixty + ">").mid(38);
        const QByteArray levels = replaced(good, "<Mesi>12</Mesi>", QByteArray("<a>").repeated(40)).mid(38);
        const QByteArray utf7 = QByteArray(body).replace("+", "+-").replace("<", "+ADw-").replace(">", "+AD4-");
        const QByteArray named = "<?xml version=\"1.0\" encoding=\"UTF-7\"";
        const QString inUtf7 = "Attenzione, il file è nella codifica UTF-7, che un'esportazione KEZ non usa";
        row("UTF-7 named past the first slice", QByteArray(named).insert(19, QByteArray(70000, ' ')) + "?>" + utf7,
            "Attenzione, il file ha un'intestazione <?xml ...?> che non termina entro i primi 512 byte", QString());
        row("UTF-7 without '>'", named + "?+AD4-" + utf7, inUtf7, QString());
        row("UTF-7 behind a UTF-8 mark", "\xef\xbb\xbf" + named + "?>" + utf7, inUtf7, QString());
        row("UTF-16LE after an ASCII start", "<?xml version=\"1.0\" encoding=\"UTF-16LE\"" + utf16("?>" + body),
            "Attenzione, l'intestazione del file indica la codifica UTF-16LE, ma il file inizia in", QString());
        row("levels in ISO-8859-1 behind a UTF-16 mark",
            "\xff\xfe" + utf16("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n") + levels.mid(1),
            "Attenzione, l'intestazione del file indica la codifica ISO-8859-1, ma il file inizia in", QString());
        // UTF-32 is no encoding of ours, whatever its declaration and mark.
        const QString inUtf32 = "Attenzione, il file è nella codifica UTF-32, che un'esportazione KEZ non usa: file rifiutato.";
        const auto utf32 = [this](const char *name, bool mark) {
            QStringEncoder encoder(QStringConverter::Utf32LE, mark ? QStringConverter::Flag::WriteBom
                                                                   : QStringConverter::Flag::Default);
            return QByteArray(encoder(QString::fromUtf8(replaced(good, "UTF-8", name))));
        };
        row("UTF-32LE without its mark", utf32("UTF-32LE", false), inUtf32, QString());
        row("UTF-32 with its mark", utf32("UTF-32", true), inUtf32, QString());
        // Bytes the declared encoding has no character for stop the parser
        // wherever they stand: the file is refused whole.
        const QString stopped = ": lettura interrotta da un carattere non valido nella codifica del file (byte ";
        const QByteArray quoted = replaced(good, "DITTA 1 S.R.L.", "DITTA \xe2\x80\x9c" "1\xe2\x80\x9d S.R.L.");
        const QByteArray mislabelled = replaced(quoted, "encoding=\"UTF-8\"", "encoding=\"windows-1252\"");
        row("UTF-8 declared windows-1252", mislabelled, unreadable, at(mislabelled, "<ragSoc>") + stopped + "0x9D 0x20 0x53 0x2E)");
        const QByteArray windows = replaced(forty(), "encoding=\"UTF-8\"", "encoding=\"windows-1252\"");
        const QByteArray lateByte = QByteArray(windows).replace(windows.lastIndexOf("VIA ROMA") + 3, 1, "\x81");
        row("windows-1252 without a byte's character in a later slice", lateByte, unreadable,
            at(lateByte, "VIA\x81") + stopped + "0x81 0x52 0x4F 0x4D)");
        const QByteArray lastBytes = QByteArray(windows).insert(windows.size() - 2, '\x81');
        row("windows-1252 without a byte's character in the last bytes", lastBytes, unreadable,
            at(lastBytes, "</esportazione\x81") + stopped + "0x81 0x3E 0x0A)");
        // Other line ends: CR LF, the import's first slice ending between the two, and CR alone, one slice.
        QByteArray crlf = replaced(windows, "VIA APPIA", "VIA \x81" "APPIA").replace("\n", "\r\n");
        crlf.insert(crlf.lastIndexOf("\r\n", 65535), QByteArray(65535 - crlf.lastIndexOf("\r\n", 65535), ' '));
        row("windows-1252 with CR LF", crlf, unreadable, at(crlf, "VIA \x81") + stopped + "0x81 0x41 0x50 0x50)");
        QByteArray cr = replaced(replaced(good, "\"UTF-8\"", "\"windows-1252\""), "VIA APPIA", "VIA \x81" "APPIA");
        row("windows-1252 with CR", cr.replace('\n', '\r'), unreadable, stopped + "0x81 0x41 0x50 0x50)");
        const QString lone = QString::fromUtf8(replaced(good, "encoding=\"UTF-8\"", "encoding=\"UTF-16\""))
                                 .replace("DITTA 1", QString(QChar(0xd800)) + " 1");
        row("UTF-16 with a lone surrogate", "\xff\xfe" + utf16(lone), unreadable,
            at(good, "<ragSoc>") + stopped + "0x00 0xD8 0x20 0x00)");
        const QByteArray ascii = replaced(replaced(good, "\"UTF-8\"", "\"US-ASCII\""), "VIA APPIA", "VIA \xe9" "APPIA");
        row("US-ASCII with a byte it lacks", ascii, unreadable, at(ascii, "VIA \xe9") + stopped + "0xE9 0x41 0x50 0x50)");
        const QByteArray wide = "\xff\xfe" + utf16(QString::fromUtf8(replaced(good, "\"UTF-8\"", "\"UTF-16\"")));
        row("UTF-16 ending in an odd byte", wide + "A", unreadable, lastLine(good) + stopped + "0x41)");
        row("UTF-16 ending in half a pair", wide + QByteArray("\0\xd8", 2), unreadable, lastLine(good) + stopped + "0x00 0xD8)");
        row("declaration of another year", replaced(good, "<saAnno>2021", "<saAnno>2020"),
            "Attenzione, la dichiarazione n. 1 del file è dell'anno 2020", QString());
        // Refused when the first declarations are stored already.
        const QByteArray many = forty();
        const qsizetype last = many.lastIndexOf("<dichiarazione>");
        row("attributes in the last of many", QByteArray(many).insert(last + 14, attributes),
            "Attenzione, il file ha un elemento con più di 32 attributi (riga " + QString::number(many.left(last).count('\n') + 1),
            QString());
        row("text beyond a megabyte", replaced(good, "DITTA 1 S.R.L.", QByteArray(1024 * 1024 + 1, 'A')),
            "Attenzione, il file ha un testo di oltre 1 MB (riga " + at(good, "<ragSoc>").mid(5), QString());
    }
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        const QByteArray before = checksum(gDb->kezDbFilename);
        Importa form;
        QVERIFY(!form.importaFile(writeFile(bytes)));
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        const MessageBoxSeam::Asked box = MessageBoxSeam::asked().first();
        QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
        QVERIFY2(box.text.contains(detail), qPrintable(box.text + " / " + detail));
        // libxml2's own words never reach the user.
        static const QRegularExpression english(QStringLiteral(
            "\\b(Element|Expected|expected|is not|valid value|allowed|mismatch|Couldn't|Premature|facet|atomic|"
            "StartTag|Extra content|Document|Input|attribute|[Mm]issing|required|the)\\b"));
        QVERIFY2(!english.match(box.text).hasMatch(), qPrintable(box.text));
        QCOMPARE(box.style, 64);
        QCOMPARE(form.slt[1]->Value().toInt(), 0);
        QCOMPARE(checksum(gDb->kezDbFilename), before);
        // Wherever the slices end, inside a tag, a name or a character.
        QCOMPARE(verdict(bytes, 7), verdict(bytes, bytes.size() + 1));
    }

    void beyondTheOldLimit()
    {
        // Larger than any file once allowed, in bounded memory all the same.
        QByteArray bytes = good;
        bytes.insert(bytes.indexOf("<esportazione"), QByteArray(64 * 1024 * 1024, ' '));
        Importa form;
        QVERIFY(form.importaFile(writeFile(bytes)));
        QCOMPARE(form.slt[1]->Value().toInt(), 1);
    }

    void notARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("device") << "device";
    }
    void notARegularFile()
    {
        // A pipe would keep the import waiting for a writer that never comes.
        QFETCH(QString, kind);
        QString path = fx->folder() + "dichiarazioni.xml";
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "pipe")
            QCOMPARE(QProcess::execute("mkfifo", {path}), 0);
        else
            path = "/dev/zero";
        Importa form;
        QVERIFY(!form.importaFile(path));
        QCOMPARE(MessageBoxSeam::asked().last().text,
                 "Attenzione, " + path + " non è un file ordinario: si importano solo file XML esportati da KEZ.");
    }

    // A file the user may not read is named with the reason the system gave.
    void unreadableFile_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("reason");
        QTest::newRow("gone") << "prova.xml" << "file inesistente.";
        QTest::newRow("in a folder the user may not enter") << "chiusa/prova.xml" << "permesso negato.";
    }
    void unreadableFile()
    {
        QFETCH(QString, place);
        QFETCH(QString, reason);
        const QString path = fx->folder() + place;
        const QString closed = fx->folder() + "chiusa";
        // Open to others, so that a user other than root can reach inside.
        QVERIFY(QFile::setPermissions(fx->folder(), QFileDevice::Permissions(0x7755)));
        QVERIFY(QDir().mkpath(closed));
        QFile inside(closed + "/prova.xml");
        QVERIFY(inside.open(QIODevice::WriteOnly) && inside.write(good) == good.size());
        inside.close();
        QVERIFY(QFile::setPermissions(closed, QFileDevice::Permissions(0x6666)));
        const auto reopen = qScopeGuard([closed] { QFile::setPermissions(closed, QFileDevice::Permissions(0x7700)); });
        Importa form;
        {
            OrdinaryUser user;
            if (!user.ok())
                QSKIP("the test cannot act as an ordinary user here");
            QVERIFY(!form.importaFile(path));
        }
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 "Attenzione, impossibile leggere il file " + path + ":\n" + reason);
    }

    void cancelled_data()
    {
        QTest::addColumn<int>("stopAt");
        QTest::addColumn<bool>("sessionEnds");
        QTest::newRow("reading") << 1 << false;
        QTest::newRow("storing") << 750 << false;
        QTest::newRow("session ends while storing") << 750 << true;
    }
    void cancelled()
    {
        // Forty declarations, the user pressing "Annulla" (or the desktop
        // session ending) as the bar passes a mark.
        QFETCH(int, stopAt);
        QFETCH(bool, sessionEnds);
        const QByteArray bytes = forty();
        const QByteArray before = checksum(gDb->kezDbFilename);
        Importa form;
        QList<int> seen;
        connect(form.pb, &QProgressBar::valueChanged, &form, [&](int value) {
            seen << value;
            if (value >= stopAt && form.slb[1]->Caption() == QStringLiteral("Annulla")) {
                TestSupport::grab(&form, QStringLiteral("Importa_annulla"));
                sessionEnds ? modMain::endSession() : form.slb_Click(1);
            }
        });
        const bool imported = form.importaFile(writeFile(bytes));
        MainWindowSupport::resumeSession();
        QVERIFY(!imported);
        // Nobody is left to read a message after the session's end.
        QCOMPARE(MessageBoxSeam::asked().isEmpty() ? QString() : MessageBoxSeam::asked().last().text,
                 sessionEnds ? QString() : QStringLiteral("Importazione annullata: nessuna dichiarazione importata."));
        QCOMPARE(checksum(gDb->kezDbFilename), before);
        QCOMPARE(form.slb[1]->Caption(), QStringLiteral("Chiudi"));
        // The bar moved, forward only, and stopped where the user did.
        QVERIFY(seen.size() >= 2);
        QVERIFY(std::is_sorted(seen.begin(), seen.end() - 1));
        QVERIFY(seen[seen.size() - 2] >= stopAt);
        // The same file, let run, goes in whole.
        MessageBoxSeam::clearAsked();
        Importa again;
        QVERIFY(again.importaFile(writeFile(bytes)));
        QCOMPARE(again.slt[1]->Value().toInt(), 40);
    }

    void databaseFailureKeepsNothing()
    {
        QVERIFY(gDb->Execute("CREATE TRIGGER guasto BEFORE INSERT ON RecTip BEGIN SELECT RAISE(ABORT, 'disco pieno'); END"));
        const QByteArray before = checksum(gDb->kezDbFilename);
        Importa form;
        QVERIFY(!form.importaFile(writeFile(good)));
        QVERIFY(MessageBoxSeam::asked().last().text.startsWith("Attenzione, errore del database"));
        QCOMPARE(checksum(gDb->kezDbFilename), before);
    }

    // Saved again by a text editor in UTF-16, a file keeps its declaration
    // of UTF-8: it is read by its first bytes, as the parser reads it.
    void goodFile_data()
    {
        QTest::addColumn<QStringConverter::Encoding>("encoding");
        QTest::addColumn<bool>("mark");
        QTest::newRow("as written") << QStringConverter::Utf8 << false;
        QTest::newRow("UTF-16LE with its mark") << QStringConverter::Utf16LE << true;
        QTest::newRow("UTF-16BE without a mark") << QStringConverter::Utf16BE << false;
    }
    void goodFile()
    {
        QFETCH(QStringConverter::Encoding, encoding);
        QFETCH(bool, mark);
        // The same declaration twice in one file, and one the archive holds.
        QByteArray bytes = replaced(good, "DITTA 1 S.R.L.", "DITTÀ “1” € S.R.L.");
        const int start = int(bytes.indexOf("<dichiarazione>"));
        const int end = int(bytes.indexOf("</dichiarazione>")) + 16;
        const QByteArray one = bytes.mid(start, end - start);
        // The archive's texts compare without case and accents.
        bytes.insert(end, one + replaced(replaced(one, "<codFisc>11111111115</codFisc>", "<codFisc>00743110157</codFisc>"),
                                         "<via>VIA ROMA</via>", "<via>via Romà</via>"));
        QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        FileDialogSeam::pushFileName(writeFile(encoder(QString::fromUtf8(bytes))));
        Importa form;
        QCOMPARE(modMain::currentForm, 105);
        form.slb_Click(0);
        QCOMPARE(FileDialogSeam::asked().last().filter, QStringLiteral("File XML (*.xml)"));
        QCOMPARE(form.slt[0]->Value().toInt(), 3);
        QCOMPARE(form.slt[1]->Value().toInt(), 1);
        QCOMPARE(form.slt[2]->Value().toInt(), 1);
        QCOMPARE(form.slt[4]->Value().toInt(), 1);
        // A company the registry knew stays as it was.
        QCOMPARE(form.slt[3]->Value().toInt(), 4);
        QCOMPARE(MessageBoxSeam::asked().last().text,
                 QStringLiteral("Importazione terminata: 1 dichiarazione importata, 1 già presente in archivio, "
                                "1 ripetuta nel file."));
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.column("SELECT codFisc || ':' || ExpID || ':' || saExp FROM SezAnag ORDER BY saID"),
                 (QStringList{"00743110157:0:0", "11111111115:0:0"}));
        QCOMPARE(db.scalar("SELECT ragSoc FROM Ditte WHERE codFisc = '01234567897'").toString(), QStringLiteral("GIA' NOTA"));
        QCOMPARE(db.scalar("SELECT ragSoc FROM SezAnag WHERE codFisc = '11111111115'").toString(),
                 QStringLiteral("DITTÀ “1” € S.R.L."));
        QCOMPARE(db.scalar("SELECT count(*) FROM RecDrCons").toInt(), 6);
        TestSupport::grab(&form, QStringLiteral("Importa"));
    }

    // The import goes in whole once a full disk has refused it, and waits
    // out another program's write.
    void savesThroughFaults_data() { SaveFaults::addRows(); }
    void savesThroughFaults()
    {
        const QString path = writeFile(good);
        SaveFaults::saveThrough(QStringLiteral("RecTip"), [path] {
            Importa form;
            form.importaFile(path);
        }, [] {
            DatabaseProbe db;
            return db.open(gDb->kezDbFilename, true)
                ? db.scalar("SELECT count(*) FROM SezAnag WHERE codFisc = '11111111115'").toString() : QString();
        }, QStringLiteral("1"));
    }
};

QTEST_MAIN(tst_Importa)
#include "tst_Importa.moc"
