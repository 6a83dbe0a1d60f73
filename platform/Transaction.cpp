#include "Transaction.h"

#include "Connection.h"

Transaction::Transaction(Connection &cn) : m_cn(cn)
{
    m_active = m_cn.beginTransaction();
}

Transaction::~Transaction()
{
    if (m_active)
        m_cn.rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_cn.commit();
}

bool Transaction::rollback()
{
    if (!m_active)
        return true;
    m_active = false;
    return m_cn.rollback();
}
