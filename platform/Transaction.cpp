#include "Transaction.h"

#include "Connection.h"

Transaction::Transaction(Connection &cn) : m_cn(cn)
{
    m_active = m_cn.beginTransaction();
    if (m_active) {
        m_generation = m_cn.m_generation;
        ++m_cn.m_owners;
    }
}

Transaction::~Transaction()
{
    end(false);
}

bool Transaction::commit()
{
    return m_active ? end(true) : false;
}

bool Transaction::rollback()
{
    return end(false);
}

bool Transaction::end(bool commit)
{
    if (!m_active)
        return true;
    m_active = false;
    if (m_generation != m_cn.m_generation) {
        // SQLite undid it while this routine ran: there is nothing to end.
        --m_cn.m_lostOwners;
        return !commit || m_cn.lostTransaction();
    }
    --m_cn.m_owners;
    return commit ? m_cn.commit() : m_cn.rollback();
}
