// Filling a grid row by row and reading every cell back typed, as the
// section sheets do when they load and save, against filling a bare
// QTableWidget with the same texts.
#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTableWidget>
#include <cstdio>

#include "Currency.h"
#include "gridColumn.h"
#include "modMain.h"
#include "slxGrid.h"

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Currency::registerMetaType();
    const int rows = argc > 1 ? atoi(argv[1]) : 5000;

    slxGrid grid;
    const int types[] = {gridColumn::Stringa, gridColumn::Data, gridColumn::Intero,
                         gridColumn::Decimale, gridColumn::Valuta, gridColumn::Combo};
    const char *masks[] = {"", "", "#,##0", "#,##0.000", "#,##0.00", ""};
    for (int i = 0; i < 6; ++i) {
        gridColumn *c = grid.AddColumn(QStringLiteral("C%1").arg(i));
        c->FieldType = types[i];
        c->FieldFormat = QLatin1String(masks[i]);
    }
    grid.Refresh();
    grid.resize(800, 400);
    grid.show();
    grid.setRows(0);

    QElapsedTimer t;
    t.start();
    for (int r = 1; r <= rows; ++r)
        grid.addRow(0, {QStringLiteral("Riga %1").arg(r), QDate(2021, 1 + r % 12, 1 + r % 28), r,
                        r + 0.125, Currency::fromRaw(qint64(r) * 12345).toVariant(), 1 + r % 2});
    const qint64 fillNs = t.nsecsElapsed();

    t.restart();
    double check = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= 6; ++c) {
            const QVariant v = grid.TextMatrix(r, c);
            check += v.typeId() == QMetaType::Double ? v.toDouble() : 0;
        }
    const qint64 readNs = t.nsecsElapsed();

    QTableWidget raw(rows, 6);
    raw.resize(800, 400);
    raw.show();
    t.restart();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 6; ++c)
            raw.setItem(r, c, new QTableWidgetItem(QString::number(r * 6 + c)));
    const qint64 rawNs = t.nsecsElapsed();

    std::printf("rows: %d (check %.3f)\n", rows, check);
    std::printf("fill by addRow: %.1f ms, %.2f us per row\n", fillNs / 1e6, fillNs / 1e3 / rows);
    std::printf("read every cell typed: %.1f ms, %.2f us per row\n", readNs / 1e6, readNs / 1e3 / rows);
    std::printf("raw QTableWidget fill: %.1f ms, %.2f us per row\n", rawNs / 1e6, rawNs / 1e3 / rows);
    std::printf("ratio fill / raw: %.2f\n", double(fillNs) / double(rawNs));
    modMain::releaseGlobals();
    return 0;
}
