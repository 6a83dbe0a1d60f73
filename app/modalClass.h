#pragma once

#include <QString>
#include <QVariant>

class Recordset;

// Opens every modal pick list and dialog of the program and carries the
// arguments in and the answer out through its public variables, so a pick
// list never needs to know who opened it. It also keeps the last company
// read from the registry and the last waste code read, and is the one
// place that adds companies to the registry from the sheets.
class modalClass
{
public:
    modalClass() = default;
    modalClass(const modalClass &) = delete;
    modalClass &operator=(const modalClass &) = delete;

    bool Status = false;
    QVariant Key;
    QVariant Codice;
    Recordset *Cursore = nullptr;   // the caller's recordset while the module list is open
    double cursorBookMark = 0;

    // The company buffer, values as read (Null kept). It holds one company
    // at a time, as the registry has it once it is stored there.
    QVariant CodiceFiscale;
    QVariant ragioneSociale;
    QVariant istatProvincia;
    QVariant istatComune;
    QVariant via;
    QVariant civico;
    QVariant cap;
    QVariant prefisso;
    QVariant telefono;

    // The waste-code buffer.
    QString codiceRifiuto;
    QString descRifiuto;
    bool Pericoloso = false;

    // Verification: arguments in, counts out.
    int checkMode = 0;
    int checkCode = 0;
    bool checkExp = false;
    int checkOk = 0;
    int checkKo = 0;

    bool getDitta(const QVariant &codFisc);
    bool getRifiuto(const QVariant &codRif);
    bool showDitte(const QVariant &codFisc);
    void showConnect();
    bool showDichiarazioni(int Sa1ID, const QString &cFisc);
    bool showModuli(const QString &Intestazione, Recordset &rs);
    bool showRegCE(const QString &regCod);
    bool showAttEco(const QString &codAttEco);
    void showRegistra();
    void showExport();
    void showVerifica(int Modo, int pCodice = 0, bool flagExp = false);
    // Adds the buffered company when its code is not in the registry yet;
    // false when it could not be added. Completa 1 also writes the address,
    // 2 the address and the telephone. Once stored, the buffer holds the
    // registry's row for the code.
    bool salvaDitta(int Completa);
    // Puts one company into the buffer, and that company alone: what is not
    // given is left empty, so nothing of the company held before stays there
    // under another code. Every writer of the buffer goes through here.
    void setDitta(const QVariant &codFisc, const QVariant &ragSoc, const QVariant &prvIstat = QVariant(),
                  const QVariant &comIstat = QVariant(), const QVariant &via = QVariant(),
                  const QVariant &civico = QVariant(), const QVariant &cap = QVariant(),
                  const QVariant &prefisso = QVariant(), const QVariant &telefono = QVariant());
    // Forgets the buffered company, so that a changed registry is read
    // again rather than trusted.
    void clearDitta();

private:
    bool readDitta(const QString &codFisc);
    void setDittaFrom(const Recordset &ditte);
};
