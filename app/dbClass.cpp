#include "dbClass.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <sys/stat.h>

#include "MessageBoxSeam.h"
#include "SchemaCheck.h"
#include "kezClass.h"
#include "modFunz.h"
#include "modMain.h"

using modMain::gKez;

namespace {

QString pathKey(int year)
{
    return QStringLiteral("kez") + QString::number(year);
}

} // namespace

dbClass::dbClass()
{
    // The database library is linked in; the only way it can be missing is
    // a library that refuses to start, and then nothing can be done.
    QString why;
    if (!Connection::startLibrary(&why)) {
        const QString text = QStringLiteral("Errore: \n") + why
            + QStringLiteral("\nPer usare questo programma è necessario installare o aggiornare i "
                             "componenti 'Microsoft Data Access Components (MDAC)'.\n"
                             "Per installare i componenti compatibili con il proprio sistema, "
                             "consultare il sito web Microsoft.");
        MessageBoxSeam::show(nullptr, text, 16, QStringLiteral("Kez"));
        std::exit(1);
    }
    if (gKez) {
        const QString section = QStringLiteral("PATH");
        kezDbFilename = gKez->getIniFile(section, pathKey(gKez->AnnoDichiarazione()));
        oldDbFilename = gKez->getIniFile(section, pathKey(gKez->AnnoDichiarazione() - 1));
    }
}

dbClass::~dbClass()
{
    oldDbClose();
    listRs.close();
    kezCnn.close();
}

bool dbClass::kezDbOpened() const
{
    return kezCnn.isOpen();
}

bool dbClass::oldDbOpened() const
{
    return m_oldCn != nullptr;
}

bool dbClass::openKezDb()
{
    if (kezDbFilename.isEmpty())
        return false;
    listRs.close();
    kezCnn.close();

    const QString title = QStringLiteral("Connessione database KEZ");
    if (!kezCnn.open(kezDbFilename))
        return modFunz::showError(title);

    // Any SQLite file opens; one without the program's tables would only
    // make every form fail, and one with a trigger would act on the data,
    // so it is refused as the database chooser does.
    if (!SchemaCheck::isWhole(kezCnn, title)) {
        kezCnn.close();
        return false;
    }

    // The version row is informative only: a database without it still works.
    Recordset config;
    if (config.open(QStringLiteral("SELECT * FROM Config"), &kezCnn) && !config.eof()) {
        kezDbVersion = modFunz::nzStr(config.value(QStringLiteral("CnfDbVer")));
        if (gKez)
            gKez->kezType = config.value(QStringLiteral("CnfType")).toInt();
    }
    ErrInfo::clear();
    return true;
}

void dbClass::forgetOldDb()
{
    // For good, so the next start does not complain again.
    oldDbFilename.clear();
    if (gKez)
        gKez->writeIniFile(QStringLiteral("Path"), pathKey(gKez->AnnoDichiarazione() - 1), QString());
}

bool dbClass::sameFile(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath())
        return true;
    struct stat statA;
    struct stat statB;
    return ::stat(QFile::encodeName(a).constData(), &statA) == 0
        && ::stat(QFile::encodeName(b).constData(), &statB) == 0 && statA.st_dev == statB.st_dev
        && statA.st_ino == statB.st_ino;
}

bool dbClass::openOldDb()
{
    oldDbClose();
    if (oldDbFilename.isEmpty())
        return false;
    // Named so before linking refused it: this year's own declarations
    // would be offered as last year's.
    if (sameFile(oldDbFilename, kezDbFilename)) {
        modFunz::warnMsg(QStringLiteral("Attenzione, l'archivio dell'anno precedente era lo stesso file "
                                        "dell'anno corrente: il collegamento è stato rimosso."));
        forgetOldDb();
        return false;
    }

    // Last year's file is a Kez file like this year's, built by the same
    // schema: it is judged whole as this year's is.
    const QString title = QStringLiteral("Connessione database anno precedente");
    auto cn = std::make_unique<Connection>();
    const bool usable = cn->open(oldDbFilename) ? SchemaCheck::isWhole(*cn, title) : modFunz::showError(title);
    if (!usable) {
        forgetOldDb();
        return false;
    }
    m_oldCn = std::move(cn);
    oldRs = std::make_unique<Recordset>();
    return true;
}

bool dbClass::Execute(const QString &pSql, const QVariantList &params)
{
    if (!kezCnn.execute(pSql, params))
        return modFunz::showError(QString());
    return true;
}

std::unique_ptr<Recordset> dbClass::kezRs(const QString &SqlString, const QVariantList &params,
                                          int openMode)
{
    auto rs = std::make_unique<Recordset>();
    if (!rs->open(SqlString, &kezCnn, openMode, params))
        modFunz::showError(QString());
    return rs;
}

bool dbClass::listRsOpen(const QString &SqlString, const QVariantList &params)
{
    listRs.close();
    if (!listRs.open(SqlString, &kezCnn, Recordset::adLockReadOnly, params))
        return modFunz::showError(QString());
    return !listRs.eof();
}

void dbClass::oldDbClose()
{
    if (!m_oldCn)
        return;
    if (oldRs)
        oldRs->close();
    oldRs.reset();
    m_oldCn->close();
    m_oldCn.reset();
}

bool dbClass::oldRsOpen(const QString &SqlString, const QVariantList &params)
{
    if (!m_oldCn || !oldRs) {
        ErrInfo::raise(3704, QStringLiteral("Database dell'anno precedente non collegato."),
                       QStringLiteral("Kez"));
        return modFunz::showError(QString());
    }
    oldRs->close();
    if (!oldRs->open(SqlString, m_oldCn.get(), Recordset::adLockReadOnly, params))
        return modFunz::showError(QString());
    return !oldRs->eof();
}

QVariant dbClass::comuneDaIstat(const QVariant &IstatProv, const QVariant &IstatCom)
{
    // A code that is Null or not a number names no municipality.
    bool provOk = false;
    bool comOk = false;
    const int prov = IstatProv.isNull() ? 0 : IstatProv.toInt(&provOk);
    const int com = IstatCom.isNull() ? 0 : IstatCom.toInt(&comOk);
    if (!provOk || !comOk)
        return QVariant();

    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT Comuni.ComDesc, Comuni.ComCap, Province.PrvDesc, "
                                "Province.PrvSigla FROM Comuni INNER JOIN Province "
                                "ON Comuni.PrvIstat = Province.PrvIstat "
                                "WHERE Comuni.PrvIstat = ? AND Comuni.ComIstat = ?"),
                 &kezCnn, Recordset::adLockReadOnly, {prov, com})) {
        modFunz::showError(QString());
        return QVariant();
    }
    if (rs.eof())
        return QVariant();
    return QStringList{modFunz::nzStr(rs.value(QStringLiteral("ComDesc"))),
                       modFunz::nzStr(rs.value(QStringLiteral("ComCap"))),
                       modFunz::nzStr(rs.value(QStringLiteral("PrvDesc"))),
                       modFunz::nzStr(rs.value(QStringLiteral("PrvSigla")))};
}
