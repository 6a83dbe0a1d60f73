#include "GridColumnKeys.h"

#include <QDynamicPropertyChangeEvent>
#include <QTimer>

#include "gridColumn.h"
#include "slxGrid.h"

namespace {

// Sits on a grid and reads its columns again after a batch of column keys.
class ColumnReader : public QObject
{
public:
    explicit ColumnReader(slxGrid *grid)
        : QObject(grid),
          m_grid(grid)
    {
        grid->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_grid && event->type() == QEvent::DynamicPropertyChange && !m_pending
            && GridColumnKeys::isColumnKey(
                static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName())) {
            m_pending = true;
            QTimer::singleShot(0, this, [this] {
                m_pending = false;
                m_grid->endReadProperties();
            });
        }
        return false;
    }

private:
    slxGrid *m_grid;
    bool m_pending = false;
};

}

namespace GridColumnKeys {

bool isColumnKey(const QByteArray &name)
{
    return name.size() > 3 && name.startsWith("Col") && name.at(3) >= '0' && name.at(3) <= '9';
}

PropertyBag of(const slxGrid *grid)
{
    PropertyBag bag;
    const int count = grid->Cols();
    for (int i = 1; i <= count; ++i)
        grid->ColumnHeader(i)->writeProperties(bag, i);
    const QString lastWidth = gridColumn::key(count, "Width");
    if (count > 0 && !bag.contains(lastWidth))
        bag.WriteProperty(lastWidth, grid->ColumnHeader(count)->Width);
    return bag;
}

void store(slxGrid *grid)
{
    const PropertyBag keys = of(grid);
    for (const QByteArray &name : grid->dynamicPropertyNames()) {
        if (isColumnKey(name) && !keys.contains(QString::fromLatin1(name)))
            grid->setProperty(name.constData(), QVariant());
    }
    for (const QString &key : keys.keys())
        grid->setProperty(key.toLatin1().constData(), keys.ReadProperty(key));
}

void watch(slxGrid *grid)
{
    new ColumnReader(grid);
}
}
