#include "slxTextData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "PageTextBox.h"
#include "slxText.h"

slxTextData::slxTextData(QWidget *parent)
    : PropertyPage(parent)
{
    setObjectName(QStringLiteral("slxTextData"));

    cmbType = addCombo("cmbType", {QStringLiteral("Testo"), QStringLiteral("Data"),
                                   QStringLiteral("Intero"), QStringLiteral("Decimale"),
                                   QStringLiteral("Valuta")});
    cmbAlign = addCombo("cmbAlign", {QStringLiteral("a sinistra"), QStringLiteral("a destra"),
                                     QStringLiteral("al centro")});
    cmbMulti = addCombo("cmbMulti", {QStringLiteral("No"), QStringLiteral("Invio nuovo campo"),
                                     QStringLiteral("Invio nuova riga")});
    cmbScroll = addCombo("cmbScroll", {QStringLiteral("No"), QStringLiteral("Orizzontale"),
                                       QStringLiteral("Verticale"), QStringLiteral("Entrambe")});
    cmbData = addCombo("cmbData", {QStringLiteral("Data corta"), QStringLiteral("Data media"),
                                   QStringLiteral("Data lunga")});

    for (int i = 0; i < 5; ++i) {
        const bool digits = i == 0 || i == 2 || i == 3;
        auto *box = new PageTextBox(digits, this);
        box->setObjectName(QStringLiteral("slt_%1").arg(i));
        connect(box, &PageTextBox::textChanged, this, &slxTextData::markChanged);
        slt.append(box);
    }
    const QStringList checks = {QStringLiteral("Negativi"), QStringLiteral("Sep. migliaia"),
                                QStringLiteral("Spazi se zero"), QStringLiteral("Auto tab."),
                                QStringLiteral("Bloccato")};
    for (int i = 0; i < checks.size(); ++i) {
        auto *box = new QCheckBox(checks[i], this);
        box->setObjectName(QStringLiteral("chk_%1").arg(i));
        connect(box, &QCheckBox::clicked, this, &slxTextData::markChanged);
        chk.append(box);
    }

    auto *layout = new QGridLayout(this);
    layout->addWidget(labelFor(QStringLiteral("Tipo controllo:"), cmbType), 0, 0);
    layout->addWidget(cmbType, 0, 1);
    layout->addWidget(labelFor(QStringLiteral("Allinea:"), cmbAlign), 0, 2);
    layout->addWidget(cmbAlign, 0, 3);
    layout->addWidget(labelFor(QStringLiteral("DataField:"), slt[4]), 1, 0);
    layout->addWidget(slt[4], 1, 1, 1, 3);

    auto *testo = new QGroupBox(QStringLiteral("Testo"), this);
    testo->setObjectName(QStringLiteral("Frame1_0"));
    auto *testoLayout = new QGridLayout(testo);
    for (QWidget *w : {static_cast<QWidget *>(slt[0]), static_cast<QWidget *>(slt[1]),
                       static_cast<QWidget *>(cmbMulti), static_cast<QWidget *>(cmbScroll)})
        w->setParent(testo);
    testoLayout->addWidget(labelFor(QStringLiteral("Lunghezza:"), slt[0]), 0, 0);
    testoLayout->addWidget(slt[0], 0, 1);
    testoLayout->addWidget(labelFor(QStringLiteral("Multiriga:"), cmbMulti), 0, 2);
    testoLayout->addWidget(cmbMulti, 0, 3);
    testoLayout->addWidget(labelFor(QStringLiteral("Disp. mask:"), slt[1]), 1, 0);
    testoLayout->addWidget(slt[1], 1, 1);
    testoLayout->addWidget(labelFor(QStringLiteral("Scrollbars:"), cmbScroll), 1, 2);
    testoLayout->addWidget(cmbScroll, 1, 3);
    layout->addWidget(testo, 2, 0, 1, 4);

    auto *numerico = new QGroupBox(QStringLiteral("Numerico"), this);
    numerico->setObjectName(QStringLiteral("Frame1_1"));
    auto *numericoLayout = new QGridLayout(numerico);
    for (QWidget *w : {static_cast<QWidget *>(slt[2]), static_cast<QWidget *>(slt[3]),
                       static_cast<QWidget *>(chk[0]), static_cast<QWidget *>(chk[1]),
                       static_cast<QWidget *>(chk[2])})
        w->setParent(numerico);
    numericoLayout->addWidget(labelFor(QStringLiteral("Interi:"), slt[2]), 0, 0);
    numericoLayout->addWidget(slt[2], 0, 1);
    numericoLayout->addWidget(labelFor(QStringLiteral("Decimali:"), slt[3]), 1, 0);
    numericoLayout->addWidget(slt[3], 1, 1);
    numericoLayout->addWidget(chk[0], 0, 2);
    numericoLayout->addWidget(chk[1], 1, 2);
    numericoLayout->addWidget(chk[2], 2, 2);
    layout->addWidget(numerico, 3, 0, 1, 2);

    auto *data = new QGroupBox(QStringLiteral("Data"), this);
    data->setObjectName(QStringLiteral("Frame1_2"));
    cmbData->setParent(data);
    auto *dataLayout = new QGridLayout(data);
    dataLayout->addWidget(labelFor(QStringLiteral("Formato:"), cmbData), 0, 0);
    dataLayout->addWidget(cmbData, 0, 1);
    dataLayout->setRowStretch(1, 1);
    layout->addWidget(data, 3, 2, 1, 2);

    layout->addWidget(chk[3], 4, 2);
    layout->addWidget(chk[4], 4, 3);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);
}

QString slxTextData::caption() const
{
    return QStringLiteral("Dati");
}

bool slxTextData::serves(const QWidget *control) const
{
    return qobject_cast<const slxText *>(control) != nullptr;
}

QComboBox *slxTextData::addCombo(const char *name, const QStringList &items)
{
    auto *box = new QComboBox(this);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    connect(box, QOverload<int>::of(&QComboBox::activated), this, &slxTextData::markChanged);
    return box;
}

void slxTextData::writeChoice(QWidget *field, const char *key, const QComboBox *box)
{
    // A value the list does not offer shows no choice; it stays as it is.
    if (box->currentIndex() >= 0)
        write(field, key, box->currentIndex());
}

void slxTextData::fill(QWidget *first)
{
    const auto *field = qobject_cast<const slxText *>(first);
    cmbType->setCurrentIndex(field->ControlType());
    cmbAlign->setCurrentIndex(field->Alignment());
    cmbMulti->setCurrentIndex(field->MultiLine());
    cmbScroll->setCurrentIndex(field->ScrollBars());
    cmbData->setCurrentIndex(field->DateFormat());
    slt[0]->setNumber(field->MaxLength());
    slt[1]->setText(field->DisplayMask());
    slt[2]->setNumber(field->IntDigits());
    slt[3]->setNumber(field->DecDigits());
    slt[4]->setText(field->Field());
    chk[0]->setChecked(field->NegativeNumbers());
    chk[1]->setChecked(field->ShowThouSep());
    chk[2]->setChecked(field->ShowZero());
    chk[3]->setChecked(field->AutoTab());
    chk[4]->setChecked(field->Locked());
}

void slxTextData::apply(const QList<QWidget *> &controls)
{
    // The type goes first: it fixes the decimals of whole numbers and
    // currency amounts, whatever "Decimali:" says.
    for (QWidget *field : controls) {
        writeChoice(field, "ControlType", cmbType);
        writeChoice(field, "Alignment", cmbAlign);
        writeChoice(field, "MultiLine", cmbMulti);
        writeChoice(field, "ScrollBars", cmbScroll);
        writeChoice(field, "DateFormat", cmbData);
        write(field, "MaxLength", slt[0]->number());
        write(field, "DisplayMask", slt[1]->text());
        write(field, "IntDigits", slt[2]->number());
        write(field, "DecDigits", slt[3]->number());
        write(field, "Field", slt[4]->text());
        write(field, "Negative", chk[0]->isChecked());
        write(field, "ShowThouSep", chk[1]->isChecked());
        write(field, "ShowZero", chk[2]->isChecked());
        write(field, "AutoTab", chk[3]->isChecked());
        write(field, "Locked", chk[4]->isChecked());
    }
}
