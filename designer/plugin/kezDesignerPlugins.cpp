#include "kezDesignerPlugins.h"

#include "Ambient.h"
#include "GridColumnKeys.h"
#include "comboCom.h"
#include "comboKgt.h"
#include "fndBar.h"
#include "hNav.h"
#include "kezWidgetPlugin.h"
#include "slxButton.h"
#include "slxCombo.h"
#include "slxGrid.h"
#include "slxLabel.h"
#include "slxText.h"
#include "tbButton.h"
#include "vBar.h"

namespace {

void prepare(QWidget *) {}
void prepareNew(QWidget *) {}

// A grid of a form opened in the designer builds its columns from the
// column keys the form sets on it.
void prepare(slxGrid *grid)
{
    GridColumnKeys::watch(grid);
}

// A new grid's one column goes on the form as column keys.
void prepareNew(slxGrid *grid)
{
    GridColumnKeys::store(grid);
}

template <class Control>
kezWidgetPlugin *plugin(const char *className, const char *instanceName, const char *toolTip,
                        QObject *parent)
{
    const QString name = QLatin1String(instanceName);
    return new kezWidgetPlugin(
        QLatin1String(className), name, QString::fromUtf8(toolTip),
        [](QWidget *p) -> QWidget * {
            auto *control = new Control(p);
            prepare(control);
            return control;
        },
        [name](QWidget *p) -> QWidget * {
            auto *control = new Control(p);
            prepare(control);
            control->setObjectName(name);
            control->initNewInstance();
            prepareNew(control);
            return control;
        },
        parent);
}

}

kezDesignerPlugins::kezDesignerPlugins(QObject *parent)
    : QObject(parent)
{
    // Everything made here sits in the designer: disabled controls stay
    // editable, nothing waits for the user.
    Ambient::setUserMode(false);

    m_widgets = {
        plugin<slxText>("slxText", "slt", "Campo di testo tipizzato", this),
        plugin<slxLabel>("slxLabel", "sll", "Etichetta disegnata", this),
        plugin<slxButton>("slxButton", "slb", "Pulsante disegnato", this),
        plugin<slxCombo>("slxCombo", "cmb", "Elenco da query", this),
        plugin<comboCom>("comboCom", "com", "Scelta del comune", this),
        plugin<comboKgt>("comboKgt", "kgt", "Scelta dell'unità di misura", this),
        plugin<slxGrid>("slxGrid", "slg", "Griglia modificabile", this),
        plugin<tbButton>("tbButton", "tbb", "Pulsante da barra", this),
        plugin<vBar>("vBar", "vBar", "Barra laterale", this),
        plugin<hNav>("hNav", "nav", "Navigatore dei record", this),
        plugin<fndBar>("fndBar", "fb", "Barra di ricerca", this),
    };
}
