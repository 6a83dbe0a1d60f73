#include "ShellFixture.h"

#include <QFile>

#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modMain.h"
#include "modalClass.h"

ShellFixture::ShellFixture() = default;

ShellFixture::~ShellFixture()
{
    releaseGlobals(false);
}

QString ShellFixture::folder() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString ShellFixture::iniPath() const
{
    return folder() + QStringLiteral("Kez22imb.ini");
}

void ShellFixture::writeIni(const QString &text) const
{
    QFile file(iniPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.toUtf8());
}

QString ShellFixture::readIni() const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString ShellFixture::createDatabase(const QString &fileName, const QString &extraSql) const
{
    const QString path = folder() + fileName;
    TestSupport::createDatabase(path, extraSql);
    return path;
}

QString ShellFixture::prepareFolder(const QString &extraSql, const QString &moreIni) const
{
    const QString path = createDatabase(QStringLiteral("Kez22imb.db"), extraSql);
    writeIni(QStringLiteral("[PATH]\nkez2021=") + path + QLatin1Char('\n') + moreIni);
    return path;
}

bool ShellFixture::openDatabase(const QString &extraSql)
{
    prepareFolder(extraSql);
    startGlobals();
    return modMain::gDb->openKezDb();
}

void ShellFixture::startGlobals(const QStringList &arguments)
{
    modMain::installServices();
    modMain::gKez = std::make_unique<kezClass>(arguments, m_dir.path());
    modMain::gModal = std::make_unique<modalClass>();
    modMain::gDb = std::make_unique<dbClass>();
}

void ShellFixture::releaseGlobals(bool writeIni)
{
    modMain::gDb.reset();
    if (modMain::gKez)
        modMain::gKez->setWriteOnRelease(writeIni);
    modMain::gKez.reset();
    modMain::gModal.reset();
}

QString ShellFixture::lookupRows()
{
    return QStringLiteral(
        "INSERT INTO Province (prvIstat, prvDesc, prvSigla, prvCCIAA) VALUES "
        "(15, 'MILANO', 'MI', 15), (25, 'BELLUNO', 'BL', 25), (30, 'UDINE', 'UD', 30),"
        "(72, 'BARI', 'BA', 72), (92, 'CAGLIARI', 'CA', 92), (58, 'ROMA', 'RM', 58),"
        "(110, 'BARLETTA-ANDRIA-TRANI', 'BT', 72), (111, 'SUD SARDEGNA', 'SU', 92),"
        "(108, 'MONZA E DELLA BRIANZA', 'MB', 15);\n"
        "INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap) VALUES "
        "(15, 146, 'MILANO', '20121'), (58, 91, 'ROMA', '00118'), (25, 6, 'BELLUNO', '32100');\n"
        "INSERT INTO Attivita (attCod, attDesc) VALUES ('10.11', 'Produzione di carne'),"
        "('L''ATT', 'Codice con apostrofo');\n"
        "INSERT INTO CodRegCE (crcCod, crcDesc) VALUES ('GB040', 'Scorie');\n"
        "INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'Studio Rossi');\n"
        "INSERT INTO SezAnag (saID, codFisc, ragSoc, prvIstat, comIstat, via, civico) VALUES "
        "(7, 'RSSMRA80A01H501U', 'Rossi Imballaggi', 58, 91, 'Via Appia', '12'),"
        "(8, '12345678903', 'Ditta Senza Comune', 15, 999, 'Via Nuova', '3');\n");
}

QString ShellFixture::shippedConversions()
{
    return QStringLiteral("ATTACH '" KEZ_BIN_DIR "/Kez22imb.db' AS shipped;"
                          "INSERT INTO ComConv SELECT * FROM shipped.ComConv; DETACH shipped;");
}
