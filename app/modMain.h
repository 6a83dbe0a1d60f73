#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QWidget;
class dbClass;
class kezClass;
class modalClass;

// The program's entry, its three global objects and the few values the
// forms share: which window is open over the main window, how a sheet or
// dialog replaces it, the shared lookups and the mouse-wheel hook.
namespace modMain {

extern std::unique_ptr<kezClass> gKez;
extern std::unique_ptr<dbClass> gDb;
extern std::unique_ptr<modalClass> gModal;
extern int closingForms;
extern int currentForm;
extern int modoApertura;
extern int filtroRifiutoLen;

// Returns false when another copy runs (the caller ends at once).
bool subMain(const QStringList &arguments);
void releaseGlobals();
bool closeChildForms(int formCode);
void showLogo();
bool existsAttEco(const QString &code);
bool existsRegCE(const QString &code);
bool isRifiutoSelezionabile(const QString &code, bool silent);
int checkProvinciaCCIAA(const QVariant &sigla, QString &compSigla, QString &compDesc);
void hookWheel(QWidget *window);
void unhookWheel(QWidget *window);
bool checkSingleInstance();
}
