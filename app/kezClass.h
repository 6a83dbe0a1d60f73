#pragma once

#include <QString>
#include <QStringList>

#include "Profile.h"

// The application object: the program's years and constants, its folder,
// the composition of every file name it writes, the INI settings file, and
// the current declaration that survives restarts.
class kezClass
{
public:
    // arguments: the command line after the program name ("Sviluppo"
    // selects development mode). programFolder: where the INI, database
    // and reports live; empty = the executable's folder when writable,
    // else the per-user data folder, set up from the executable's folder
    // on the first start (see installFrom).
    explicit kezClass(const QStringList &arguments = QStringList(),
                      const QString &programFolder = QString());
    ~kezClass();
    kezClass(const kezClass &) = delete;
    kezClass &operator=(const kezClass &) = delete;

    int kezType = 0;
    QString Utente;
    QString CodiceFiscale;
    int Sa1ID = 0;
    int RifID = 0;
    int IntID = 0;
    int consID = 0;
    bool Sviluppo = false;

    QString DataRilascio() const { return QStringLiteral("04/02/2022"); }
    int AnnoElaborazione() const { return 2022; }
    int AnnoDichiarazione() const { return AnnoElaborazione() - 1; }
    // Always ends in a slash.
    QString Path() const { return m_path; }
    QString Caption() const { return m_caption; }

    QString kezName(const QString &Estensione, bool Percorso = false, bool Precedente = false) const;
    QString getIniFile(const QString &Sezione, const QString &Chiave,
                       const QString &defValue = QString()) const;
    int getIniInt(const QString &Sezione, const QString &Chiave) const;
    void writeIniFile(const QString &Sezione, const QString &Chiave, const QString &Valore);

    // The first start in a folder without an INI: the INI and the default
    // database shipped in shippedFolder are copied into Path(), the INI
    // naming the copy. An INI already there is never touched, nor a
    // database. False when there was nothing to do or the copy failed.
    bool installFrom(const QString &shippedFolder);

    // An ending second copy must leave the running copy's INI alone.
    void setWriteOnRelease(bool write) { m_writeOnRelease = write; }

private:
    QString m_path;
    QString m_caption;
    Profile m_ini;
    bool m_writeOnRelease = true;
};
