#include "kezClass.h"

#include <QCoreApplication>
#include <QDir>
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

// The executable's folder keeps the INI, the database and the reports
// together, as users expect; an installed copy in a read-only folder
// keeps them in the user's data folder instead.
QString defaultFolder()
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable())
        return exeFolder;
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    return dataFolder;
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
    } else {
        m_path = withSlash(programFolder.isEmpty() ? defaultFolder() : programFolder);
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
