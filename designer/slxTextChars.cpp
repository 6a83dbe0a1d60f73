#include "slxTextChars.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "PageTextBox.h"
#include "slxText.h"

namespace {
constexpr int otherCharacters = 32;
constexpr int listedCharacters = 64;
}

slxTextChars::slxTextChars(QWidget *parent)
    : PropertyPage(parent)
{
    setObjectName(QStringLiteral("slxTextChars"));

    auto *editable = new QGroupBox(QStringLiteral("Caratteri editabili"), this);
    editable->setObjectName(QStringLiteral("Frame1_0"));
    const QStringList captions = {QStringLiteral("Ascii > 127"), QStringLiteral("Lettere maiuscole"),
                                  QStringLiteral("Lettere miniscole"), QStringLiteral("Numeri"),
                                  QStringLiteral("Spazi")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *box = new QCheckBox(captions[i], editable);
        box->setObjectName(QStringLiteral("chkChars_%1").arg(i));
        connect(box, &QCheckBox::clicked, this, &slxTextChars::markChanged);
        chkChars.append(box);
    }
    auto *editableLayout = new QVBoxLayout(editable);
    // Listed from "Spazi" down to "Ascii > 127".
    for (int i = chkChars.size() - 1; i >= 0; --i)
        editableLayout->addWidget(chkChars[i]);
    editableLayout->addStretch();

    auto *others = new QGroupBox(QStringLiteral("Altri caratteri"), this);
    others->setObjectName(QStringLiteral("Frame1_1"));
    auto *othersLayout = new QGridLayout(others);
    const QStringList options = {QStringLiteral("Si"), QStringLiteral("No"), QStringLiteral("Lista")};
    for (int i = 0; i < options.size(); ++i) {
        auto *option = new QRadioButton(options[i], others);
        option->setObjectName(QStringLiteral("optAlt_%1").arg(i));
        connect(option, &QRadioButton::clicked, this, &slxTextChars::markChanged);
        othersLayout->addWidget(option, i, 0);
        optAlt.append(option);
    }
    txtAlt = new PageTextBox(false, others);
    txtAlt->setObjectName(QStringLiteral("txtAlt"));
    connect(txtAlt, &PageTextBox::textChanged, this, &slxTextChars::markChanged);
    othersLayout->addWidget(txtAlt, 2, 1);
    othersLayout->setColumnStretch(1, 1);
    othersLayout->setRowStretch(3, 1);

    cmdAll = new QPushButton(QStringLiteral("Tutti i caratteri"), this);
    cmdAll->setObjectName(QStringLiteral("cmdAll"));
    connect(cmdAll, &QPushButton::clicked, this, &slxTextChars::selectAllCharacters);

    auto *right = new QVBoxLayout;
    right->addWidget(others);
    right->addStretch();
    right->addWidget(cmdAll, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(editable);
    layout->addLayout(right, 1);
}

QString slxTextChars::caption() const
{
    return QStringLiteral("Caratteri");
}

bool slxTextChars::serves(const QWidget *control) const
{
    return qobject_cast<const slxText *>(control) != nullptr;
}

void slxTextChars::fill(QWidget *first)
{
    const auto *field = qobject_cast<const slxText *>(first);
    const int characters = field->Characters();
    txtAlt->setText(field->CharTable());
    for (int i = 0; i < chkChars.size(); ++i)
        chkChars[i]->setChecked(characters & (1 << i));
    // Every other character wins over a list when a field has both bits.
    if (characters & otherCharacters)
        optAlt[0]->setChecked(true);
    else if (characters & listedCharacters)
        optAlt[2]->setChecked(true);
    else
        optAlt[1]->setChecked(true);
}

void slxTextChars::apply(const QList<QWidget *> &controls)
{
    int bits = 0;
    for (int i = 0; i < chkChars.size(); ++i) {
        if (chkChars[i]->isChecked())
            bits |= 1 << i;
    }
    if (optAlt[0]->isChecked())
        bits |= otherCharacters;
    else if (optAlt[2]->isChecked())
        bits |= listedCharacters;
    for (QWidget *field : controls) {
        write(field, "Characters", bits);
        write(field, "CharTable", txtAlt->text());
    }
}

void slxTextChars::selectAllCharacters()
{
    for (QCheckBox *box : qAsConst(chkChars))
        box->setChecked(true);
    optAlt[0]->setChecked(true);
    markChanged();
}
