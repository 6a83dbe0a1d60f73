#include "SchemaCheck.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "Connection.h"
#include "ErrInfo.h"
#include "FileSchema.h"
#include "modFunz.h"

// Outside any namespace: the resource lives in a static library, and only
// this reference brings it into the program.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

constexpr int shownFaults = 10;

// Built once from the script compiled in, which cannot change while the
// program runs; a failure is not kept, so the next open tries again.
const FileSchema *programSchema()
{
    static FileSchema schema;
    static bool built = false;
    if (built)
        return &schema;
    initSchemaResource();
    QFile script(QStringLiteral(":/schema.sql"));
    if (!script.open(QIODevice::ReadOnly)) {
        ErrInfo::raise(53, QStringLiteral("Lo schema dei database KEZ non è leggibile."), QStringLiteral("Kez"));
        return nullptr;
    }
    built = schema.readScript(QString::fromUtf8(script.readAll()));
    return built ? &schema : nullptr;
}

// A name as the sqlite3 program takes it in a command.
QString sqlName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch())
        return name;
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// A box shows so many lines; the rest are counted on the last.
QStringList shortList(const QStringList &lines, const QString &rest)
{
    const int hidden = int(lines.size()) - shownFaults;
    return hidden > 1 ? lines.mid(0, shownFaults) << rest.arg(hidden) : lines;
}

bool ownForeignKey(const FileSchema &own, const FileSchema::ForeignKey &key)
{
    for (const FileSchema::ForeignKey &k : own.foreignKeys)
        if (k.sameAs(key))
            return true;
    return false;
}

} // namespace

bool SchemaCheck::judge(const Connection &cn, QString *refusal)
{
    refusal->clear();
    const FileSchema *own = programSchema();
    FileSchema file;
    if (!own || !file.read(cn))
        return false;

    QStringList faults;
    // The commands that take away what the clerk may remove with the
    // sqlite3 program; every other fault needs a copy of the file.
    QStringList drops;
    bool anyOwnTable = false;
    const auto viewNamed = [&file](const QString &name) {
        for (const FileSchema::Runner &r : file.runners)
            if (r.type == QLatin1String("view") && r.name.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    for (const FileSchema::Runner &r : file.runners) {
        const bool trigger = r.type == QLatin1String("trigger");
        if (!trigger && own->table(r.name)) {
            faults << QStringLiteral("la vista '%1' al posto della tabella %1").arg(r.name);
            continue;
        }
        faults << (trigger ? QStringLiteral("il trigger '%1' sulla tabella %2").arg(r.name, r.table)
                           : QStringLiteral("la vista '%1'").arg(r.name));
        drops << (trigger ? QStringLiteral("DROP TRIGGER ") : QStringLiteral("DROP VIEW ")) + sqlName(r.name)
                + QLatin1Char(';');
    }
    for (const FileSchema::Table &t : own->tables) {
        const FileSchema::Table *there = file.table(t.name);
        if (!there) {
            if (!viewNamed(t.name))
                faults << QStringLiteral("manca la tabella %1").arg(t.name);
            continue;
        }
        anyOwnTable = true;
        QStringList missing;
        for (const FileSchema::Column &c : t.columns) {
            const FileSchema::Column *found = there->column(c.name);
            if (!found)
                missing << c.name;
            else if (found->type.compare(c.type, Qt::CaseInsensitive) != 0)
                faults << QStringLiteral("nella tabella %1 la colonna %2 è di tipo %3 invece di %4")
                              .arg(t.name, c.name,
                                   found->type.isEmpty() ? QStringLiteral("non dichiarato") : found->type, c.type);
        }
        if (!missing.isEmpty())
            faults << (missing.size() == 1 ? QStringLiteral("nella tabella %1 manca la colonna %2")
                                           : QStringLiteral("nella tabella %1 mancano le colonne %2"))
                          .arg(t.name, missing.join(QStringLiteral(", ")));
    }
    for (const FileSchema::ForeignKey &k : file.foreignKeys) {
        if (!k.acts() || ownForeignKey(*own, k))
            continue;
        faults << QStringLiteral("il vincolo della colonna %1 della tabella %2 verso la tabella %3 "
                                 "(ON UPDATE %4, ON DELETE %5)")
                      .arg(k.from, k.table, k.parent, k.onUpdate, k.onDelete);
    }
    if (faults.isEmpty())
        return true;
    if (!anyOwnTable) {
        *refusal = QStringLiteral("Attenzione, il file selezionato non è un database KEZ");
        return true;
    }

    *refusal = QStringLiteral("Attenzione, il file '%1' non è un database KEZ integro:\n- ")
                   .arg(QDir::toNativeSeparators(cn.path()))
        + shortList(faults, QStringLiteral("e altre %1 differenze")).join(QStringLiteral(";\n- "))
        + QStringLiteral(".\n");
    if (!drops.isEmpty())
        *refusal += QStringLiteral("\nKez non crea trigger né viste: agirebbero sui dati senza avviso. Per "
                                   "rimuoverli, aprire il file con il programma sqlite3 e dare i comandi:\n")
            + shortList(drops, QStringLiteral("(e altri %1)")).join(QLatin1Char('\n')) + QLatin1Char('\n');
    if (faults.size() > drops.size())
        *refusal += QStringLiteral("\nRipristinare una copia di sicurezza dell'archivio, oppure scegliere "
                                   "un altro file.");
    return true;
}

bool SchemaCheck::isWhole(const Connection &cn, const QString &title)
{
    QString refusal;
    if (!judge(cn, &refusal))
        return modFunz::showError(title);
    if (refusal.isEmpty())
        return true;
    modFunz::showMsg(refusal, 16, title);
    return false;
}
