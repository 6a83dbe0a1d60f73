#include <QtTest>

#include <functional>
#include <memory>

#include "Currency.h"
#include "ExchangeFixture.h"
#include "ExchangeTables.h"
#include "KezXml.h"
#include "ShellFixture.h"
#include "TestSupport.h"

using ExchangeTables::Field;
using ExchangeTables::Kind;
using ExchangeTables::Table;

// The verification's limits and the schema must say the same of every
// value: a value one lets through and the other refuses would either keep
// a sound declaration home or make the export refuse its whole file.
class tst_ExchangeTables : public QObject
{
    Q_OBJECT

    // A value the schema accepts for a field.
    static QString sample(const Field &f)
    {
        const QByteArray pattern(f.format.pattern ? f.format.pattern : "");
        if (pattern.startsWith("[0-9]{11}"))
            return QStringLiteral("11111111115");
        if (pattern == "[0-9]{6}")
            return QStringLiteral("150101");
        if (pattern.startsWith("R("))
            return QStringLiteral("R3");
        if (!pattern.isEmpty())
            return QStringLiteral("FR12345");
        if (f.kind == Kind::Integer && f.format.max >= f.format.min)
            return QString::number(f.format.min);
        return f.kind == Kind::Text ? QStringLiteral("A") : QStringLiteral("1");
    }

    // The values to try on a field: at and just beyond each of its limits.
    static QStringList probes(const Field &f)
    {
        const ExchangeTables::Format &l = f.format;
        QStringList p{sample(f)};
        if (f.kind == Kind::Text) {
            p << QString() << QStringLiteral(" ") + sample(f) << sample(f).toLower() << QStringLiteral("A-1")
              << QStringLiteral("A\u0001") << QStringLiteral("A\r\n\t");
            if (l.maxLength > 0)
                p << QString(l.maxLength, QChar(0xC8)) << QString(l.maxLength + 1, QLatin1Char('A'))
                  << QString(l.maxLength - 1, QLatin1Char('A')) + QStringLiteral("\U0001F600");
        } else if (f.kind == Kind::Integer) {
            for (qint64 v : {l.min - 1, l.min, l.max, l.max + 1, qint64(-1), qint64(0)})
                p << QString::number(v);
            p << QStringLiteral("2.7") << QStringLiteral("12A45");
        } else if (f.kind == Kind::Money) {
            const Currency max = Currency::fromRaw(l.max);
            p << QStringLiteral("abc") << QStringLiteral("1.0e+308") << QStringLiteral("1.23456");
            p << QStringLiteral("-1") << QStringLiteral("0") << max.toString()
              << Currency::fromRaw(l.max + 1).toString() << (max + Currency::fromInt(1)).toString();
            for (int d = 0; d < 4; ++d)
                p << Currency::fromRaw(qint64(10000 + qPow(10, d))).toString();
        }
        return p;
    }

    // A file holding one row of each table on the way down to `path`'s
    // last table, with its required fields, and `field` set to `value`.
    static QByteArray document(const QList<const Table *> &path, const Field *field, const QString &value)
    {
        QByteArray xml = "<esportazione xmlns=\"urn:kez:imballaggi:dichiarazione\" versione=\"RAC-IT-06.02.18\" "
                         "anno=\"2021\" numero=\"1\" dataOra=\"2022-04-01T09:30:00\">";
        for (const Table *t : path) {
            xml += QByteArray("<") + t->element + ">";
            for (const Field &f : t->fields) {
                if (&f != field && !f.format.required)
                    continue;
                QString text = &f == field ? value : sample(f);
                text.replace(QLatin1Char('&'), QLatin1String("&amp;")).replace(QLatin1Char('\r'), QLatin1String("&#13;"));
                xml += QByteArray("<") + f.column + ">" + text.toUtf8() + "</" + f.column + ">";
            }
        }
        for (int i = int(path.size()) - 1; i >= 0; --i)
            xml += QByteArray("</") + path[i]->element + ">";
        return xml + "</esportazione>";
    }

private Q_SLOTS:
    void limitsAgreeWithSchema()
    {
        ShellFixture fx;
        QVERIFY(fx.openDatabase(QString()));
        QVERIFY(ExchangeFixture::placeSchema(fx.folder()));
        QString error;
        QVERIFY2(KezXml::validateBytes(document({&ExchangeTables::dichiarazione()}, nullptr, QString()), error),
                 qPrintable(error));
        int tried = 0;
        std::function<void(QList<const Table *>)> walk = [&](QList<const Table *> path) {
            for (const Field &f : path.last()->fields) {
                if (f.kind == Kind::Date || f.kind == Kind::Flag)
                    continue;
                for (const QString &value : probes(f)) {
                    bool domain = false;
                    const QString finding = ExchangeTables::formatError(f, value, domain);
                    QString reason;
                    const bool valid = KezXml::validateBytes(document(path, &f, value), reason);
                    QVERIFY2(valid == finding.isEmpty(),
                             qPrintable(QStringLiteral("%1.%2 = \"%3\": schema %4, verification \"%5\"")
                                            .arg(QLatin1String(path.last()->name), QLatin1String(f.column), value,
                                                 valid ? "accepts" : reason, finding)));
                    ++tried;
                }
                // Left out, a required value is missing for both.
                if (f.format.required) {
                    QByteArray without = document(path, &f, QString());
                    without.replace(QByteArray("<") + f.column + "></" + f.column + ">", "");
                    QVERIFY2(!KezXml::validateBytes(without, error), f.column);
                }
            }
            for (const Table *child : path.last()->children)
                walk(path + QList<const Table *>{child});
        };
        walk({&ExchangeTables::dichiarazione()});
        QVERIFY(tried > 500);
    }
};

QTEST_MAIN(tst_ExchangeTables)
#include "tst_ExchangeTables.moc"
