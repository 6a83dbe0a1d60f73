#include "slxGridCol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "PageTextBox.h"
#include "gridColumn.h"
#include "slxGrid.h"

slxGridCol::slxGridCol(QWidget *parent)
    : PropertyPage(parent)
{
    setObjectName(QStringLiteral("slxGridCol"));

    auto *heading = new QGroupBox(QStringLiteral("Intestazione"), this);
    heading->setObjectName(QStringLiteral("Frame1_0"));
    auto *data = new QGroupBox(QStringLiteral("Dati"), this);
    data->setObjectName(QStringLiteral("Frame1_1"));

    const QList<QPair<QWidget *, bool>> boxes = {{heading, false}, {heading, true}, {data, false},
                                                 {data, false},    {data, true},    {data, true}};
    for (int i = 0; i < boxes.size(); ++i) {
        auto *box = new PageTextBox(boxes[i].second, boxes[i].first);
        box->setObjectName(QStringLiteral("slt_%1").arg(i));
        connect(box, &PageTextBox::textChanged, this, &slxGridCol::markChanged);
        slt.append(box);
    }
    const QStringList alignments = {
        QStringLiteral("Sinistra in alto"),   QStringLiteral("Sinistra al centro"),
        QStringLiteral("Sinistra in basso"),  QStringLiteral("Centrale in alto"),
        QStringLiteral("Centrale al centro"), QStringLiteral("Centrale in basso"),
        QStringLiteral("Destra in alto"),     QStringLiteral("Destra al centro"),
        QStringLiteral("Destra in basso"),    QStringLiteral("Generale")};
    const QStringList types = {QStringLiteral("Stringa"), QStringLiteral("Data"),
                               QStringLiteral("Intero"),  QStringLiteral("Decimale"),
                               QStringLiteral("Valuta"),  QStringLiteral("Combo")};
    const QList<QPair<QWidget *, QStringList>> lists = {
        {heading, alignments}, {data, types}, {data, alignments}};
    for (int i = 0; i < lists.size(); ++i) {
        auto *box = new QComboBox(lists[i].first);
        box->setObjectName(QStringLiteral("cmb_%1").arg(i));
        box->addItems(lists[i].second);
        connect(box, QOverload<int>::of(&QComboBox::activated), this, &slxGridCol::markChanged);
        cmb.append(box);
    }
    chk = {new QCheckBox(QStringLiteral("Visibile"), heading),
           new QCheckBox(QStringLiteral("Editabile"), data)};
    for (int i = 0; i < chk.size(); ++i) {
        chk[i]->setObjectName(QStringLiteral("chk_%1").arg(i));
        connect(chk[i], &QCheckBox::clicked, this, &slxGridCol::markChanged);
    }

    const QStringList buttons = {QString(), QString(), QStringLiteral("Inserisci colonna"),
                                 QStringLiteral("Elimina colonna")};
    for (int i = 0; i < buttons.size(); ++i) {
        auto *button = new QPushButton(buttons[i], this);
        button->setObjectName(QStringLiteral("slb_%1").arg(i));
        slb.append(button);
    }
    slb[0]->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    slb[0]->setToolTip(QStringLiteral("Colonna precedente"));
    slb[1]->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    slb[1]->setToolTip(QStringLiteral("Colonna successiva"));
    connect(slb[0], &QPushButton::clicked, this, [this] { moveTo(currentColumn - 1); });
    connect(slb[1], &QPushButton::clicked, this, [this] { moveTo(currentColumn + 1); });
    connect(slb[2], &QPushButton::clicked, this, &slxGridCol::insertColumn);
    connect(slb[3], &QPushButton::clicked, this, &slxGridCol::deleteColumn);

    txtCol = new PageTextBox(false, this);
    txtCol->setObjectName(QStringLiteral("txtCol"));
    txtCol->setReadOnly(true);
    txtCol->setAlignment(Qt::AlignCenter);
    txtCol->setFocusPolicy(Qt::NoFocus);

    auto *headingLayout = new QGridLayout(heading);
    headingLayout->addWidget(labelFor(QStringLiteral("Intestazione"), slt[0]), 0, 0);
    headingLayout->addWidget(slt[0], 0, 1, 1, 3);
    headingLayout->addWidget(labelFor(QStringLiteral("Allineamento"), cmb[0]), 1, 0);
    headingLayout->addWidget(cmb[0], 1, 1);
    headingLayout->addWidget(labelFor(QStringLiteral("Larghezza"), slt[1]), 1, 2);
    headingLayout->addWidget(slt[1], 1, 3);
    headingLayout->addWidget(chk[0], 2, 1);
    headingLayout->setColumnStretch(1, 1);

    auto *dataLayout = new QGridLayout(data);
    dataLayout->addWidget(labelFor(QStringLiteral("Campo"), slt[2]), 0, 0);
    dataLayout->addWidget(slt[2], 0, 1);
    dataLayout->addWidget(labelFor(QStringLiteral("Tipo"), cmb[1]), 0, 2);
    dataLayout->addWidget(cmb[1], 0, 3);
    dataLayout->addWidget(labelFor(QStringLiteral("Allineamento"), cmb[2]), 1, 0);
    dataLayout->addWidget(cmb[2], 1, 1);
    dataLayout->addWidget(labelFor(QStringLiteral("Mask"), slt[3]), 1, 2);
    dataLayout->addWidget(slt[3], 1, 3);
    dataLayout->addWidget(labelFor(QStringLiteral("Lunghezza"), slt[4]), 2, 0);
    dataLayout->addWidget(slt[4], 2, 1);
    dataLayout->addWidget(labelFor(QStringLiteral("Decimali"), slt[5]), 2, 2);
    dataLayout->addWidget(slt[5], 2, 3);
    dataLayout->addWidget(chk[1], 3, 1);
    dataLayout->setColumnStretch(1, 1);
    dataLayout->setColumnStretch(3, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(slb[0]);
    top->addWidget(txtCol, 1);
    top->addWidget(slb[1]);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(slb[2]);
    bottom->addStretch();
    bottom->addWidget(slb[3]);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(heading);
    layout->addWidget(data);
    layout->addStretch();
    layout->addLayout(bottom);
}

QString slxGridCol::caption() const
{
    return QStringLiteral("Colonne");
}

bool slxGridCol::serves(const QWidget *control) const
{
    return qobject_cast<const slxGrid *>(control) != nullptr;
}

slxGrid *slxGridCol::grid() const
{
    const QList<QWidget *> grids = selection();
    return grids.isEmpty() ? nullptr : qobject_cast<slxGrid *>(grids.first());
}

void slxGridCol::fill(QWidget *first)
{
    columnCount = qobject_cast<slxGrid *>(first)->Cols();
    if (currentColumn > columnCount)
        currentColumn = 1;
    showColumn();
}

void slxGridCol::showColumn()
{
    slxGrid *g = grid();
    const gridColumn *col = g ? g->ColumnHeader(currentColumn) : nullptr;
    refill([&] {
        txtCol->setText(QStringLiteral("Colonna %1 di %2").arg(col ? currentColumn : 0).arg(columnCount));
        if (!col)
            return;
        g->setCol(currentColumn);
        slt[0]->setText(col->Caption);
        cmb[0]->setCurrentIndex(col->CaptionAlign);
        slt[1]->setNumber(col->Width);
        chk[0]->setChecked(col->Visible);
        slt[2]->setText(col->FieldName);
        cmb[1]->setCurrentIndex(col->FieldType);
        cmb[2]->setCurrentIndex(col->FieldAlign);
        slt[3]->setText(col->FieldFormat);
        chk[1]->setChecked(col->Editable);
        slt[4]->setNumber(col->FieldLen);
        slt[5]->setNumber(col->FieldDec);
    });
    slb[0]->setEnabled(col && currentColumn >= 2);
    slb[1]->setEnabled(col && currentColumn < columnCount);
    slb[2]->setEnabled(g != nullptr);
    slb[3]->setEnabled(col && columnCount >= 2);
}

void slxGridCol::moveTo(int column)
{
    if (column < 1 || column > columnCount)
        return;
    currentColumn = column;
    showColumn();
}

void slxGridCol::apply(const QList<QWidget *> &controls)
{
    auto *g = qobject_cast<slxGrid *>(controls.first());
    gridColumn *col = g->ColumnHeader(currentColumn);
    // The fields show one column of the grid; a column the grid no longer
    // has takes nothing.
    if (!col)
        return;
    col->Caption = slt[0]->text();
    if (cmb[0]->currentIndex() >= 0)
        col->CaptionAlign = cmb[0]->currentIndex();
    col->Width = slt[1]->number();
    col->Visible = chk[0]->isChecked();
    col->FieldName = slt[2]->text();
    if (cmb[1]->currentIndex() >= 0)
        col->FieldType = cmb[1]->currentIndex();
    if (cmb[2]->currentIndex() >= 0)
        col->FieldAlign = cmb[2]->currentIndex();
    col->FieldFormat = slt[3]->text();
    col->Editable = chk[1]->isChecked();
    col->FieldLen = slt[4]->number();
    col->FieldDec = slt[5]->number();
    g->RefreshColumn(currentColumn, col);
    emit structureChanged(g);
}

void slxGridCol::insertColumn()
{
    slxGrid *g = grid();
    if (!g)
        return;
    // The new column goes right after the one being edited and is the one
    // shown next, with the count read again, so that Apply writes into it.
    const int position = currentColumn + 1;
    if (!g->InsColumn(position))
        return;
    columnCount = g->Cols();
    currentColumn = qMin(position, columnCount);
    showColumn();
    emit structureChanged(g);
}

void slxGridCol::deleteColumn()
{
    slxGrid *g = grid();
    if (!g || g->Cols() < 2)
        return;
    g->delColumn(currentColumn);
    // The fields move to the column now in its place (the new last one
    // when the last was deleted), never past the end.
    columnCount = g->Cols();
    currentColumn = qBound(1, currentColumn, columnCount);
    showColumn();
    emit structureChanged(g);
}
