#include "kezClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString withSlash(const QString &folder)
{
    QString path = QDir::fromNativeSeparators(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

// An installed copy in a folder the user may not write keeps its INI,
// database and reports in the user's data folder instead.
QString userDataFolder()
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    return dataFolder;
}

// A copy from a read-only installation is read-only too: the user's own
// copy must be the user's to write, or the database would be refused.
bool copyAsUsersOwn(const QString &from, const QString &to)
{
    return QFile::copy(from, to)
        && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

} // namespace

kezClass::kezClass(const QStringList &arguments, const QString &programFolder)
{
    // The whole command line must be exactly the word, as typed by a developer.
    Sviluppo = arguments.join(QLatin1Char(' ')) == QLatin1String("Sviluppo");

    if (Sviluppo) {
        const QString devFolder = QDir::homePath() + QLatin1Char('/') + kezName(QString());
        QDir().mkpath(devFolder);
        m_path = withSlash(devFolder);
    } else if (!programFolder.isEmpty()) {
        m_path = withSlash(programFolder);
    } else {
        // The executable's folder keeps the INI, the database and the
        // reports together, as users expect.
        const QString exeFolder = QCoreApplication::applicationDirPath();
        if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable()) {
            m_path = withSlash(exeFolder);
        } else {
            m_path = withSlash(userDataFolder());
            installFrom(exeFolder);
        }
    }

    m_ini.setFileName(kezName(QStringLiteral(".ini"), true));
    m_caption = getIniFile(QStringLiteral("Kez"), QStringLiteral("Box"),
                           QStringLiteral("Kez ") + QString::number(AnnoElaborazione()));
}

kezClass::~kezClass()
{
    if (!m_writeOnRelease)
        return;
    const QString section = QStringLiteral("Kez");
    writeIniFile(section, QStringLiteral("Sa1ID"), QString::number(Sa1ID));
    writeIniFile(section, QStringLiteral("RifID"), QString::number(RifID));
    writeIniFile(section, QStringLiteral("IntID"), QString::number(IntID));
    writeIniFile(section, QStringLiteral("ConsID"), QString::number(consID));
}

bool kezClass::installFrom(const QString &shippedFolder)
{
    const QString ini = kezName(QStringLiteral(".ini"), true);
    const QString shippedIni = withSlash(shippedFolder) + kezName(QStringLiteral(".ini"));
    if (QFileInfo::exists(ini) || !QFileInfo::exists(shippedIni))
        return false;
    const QString db = kezName(QStringLiteral(".db"), true);
    const QString shippedDb = withSlash(shippedFolder) + kezName(QStringLiteral(".db"));
    if (!copyAsUsersOwn(shippedIni, ini))
        return false;
    // A database already there is the user's: it is never replaced.
    if (QFileInfo::exists(db) || (QFileInfo::exists(shippedDb) && copyAsUsersOwn(shippedDb, db)))
        Profile(ini).writeString(QStringLiteral("PATH"),
                                 QStringLiteral("kez") + QString::number(AnnoDichiarazione()),
                                 QDir::toNativeSeparators(db));
    return true;
}

QString kezClass::kezName(const QString &Estensione, bool Percorso, bool Precedente) const
{
    const int year = (Precedente ? AnnoElaborazione() - 1 : AnnoElaborazione()) % 100;
    QString name;
    if (Percorso)
        name = m_path;
    name += QStringLiteral("Kez") + QString::number(year) + QStringLiteral("imb") + Estensione;
    return name;
}

QString kezClass::getIniFile(const QString &Sezione, const QString &Chiave,
                             const QString &defValue) const
{
    return m_ini.getString(Sezione, Chiave, defValue);
}

int kezClass::getIniInt(const QString &Sezione, const QString &Chiave) const
{
    return m_ini.getInt(Sezione, Chiave, 0);
}

void kezClass::writeIniFile(const QString &Sezione, const QString &Chiave, const QString &Valore)
{
    m_ini.writeString(Sezione, Chiave, Valore);
}
