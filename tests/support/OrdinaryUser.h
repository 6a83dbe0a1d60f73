#pragma once

#include <QtGlobal>

#include <unistd.h>

// Root reads and writes where a user may not: a test of what the system
// refuses a user acts as nobody for as long as this lives, as far as the
// system and every check of access can tell. Run by an ordinary user it
// changes nothing. ok() is false where the test cannot act as an ordinary
// user; the test then skips.
class OrdinaryUser
{
public:
    OrdinaryUser() : m_ok(m_real != 0 || setresuid(Nobody, Nobody, -1) == 0) {}
    ~OrdinaryUser()
    {
        // Root stays the saved user, so the way back is open.
        if (getuid() != m_real && setresuid(m_real, m_real, -1) != 0)
            qFatal("cannot return to the test's own user");
    }
    OrdinaryUser(const OrdinaryUser &) = delete;
    OrdinaryUser &operator=(const OrdinaryUser &) = delete;

    bool ok() const { return m_ok; }

private:
    static constexpr uid_t Nobody = 65534;
    const uid_t m_real = getuid();
    bool m_ok;
};
