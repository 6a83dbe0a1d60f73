#pragma once

#include <QtGlobal>

class Connection;

// One routine's transaction (or savepoint, inside another): begun when
// made, rolled back when it goes out of scope without a commit, so a
// routine that returns early or fails never leaves it open behind it.
// When SQLite has already undone the transaction (a full disk), commit
// says the work is lost and the rest of the routine can begin nothing
// new; once it has ended, the connection is ready for the next save.
class Transaction
{
public:
    explicit Transaction(Connection &cn);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // False when it could not begin: the connection's lastError() says why.
    bool isActive() const { return m_active; }
    // False when the work is lost (rolled back); either way it has ended.
    bool commit();
    bool rollback();

private:
    bool end(bool commit);

    Connection &m_cn;
    bool m_active = false;
    quint64 m_generation = 0;
};
