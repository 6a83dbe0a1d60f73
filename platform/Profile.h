#pragma once

#include <QString>

// A Windows-style profile (INI) file: sections and keys match without regard
// to case; a missing key differs from an empty one; integers follow the
// leading-digits rule; writing keeps every other line and comment as it was,
// creates the file on first write, and does nothing when the folder cannot
// be written or the file could not be read whole. Values are read whole,
// however long.
class Profile
{
public:
    explicit Profile(const QString &fileName = QString()) : m_fileName(fileName) {}
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }

    // The key's value, or defValue when the file, section or key is missing.
    QString getString(const QString &section, const QString &key,
                      const QString &defValue = QString()) const;
    // The key's value as a whole number: the digits it begins with (after an
    // optional sign); defValue when missing, 0 when it does not begin with digits.
    int getInt(const QString &section, const QString &key, int defValue = 0) const;
    bool hasKey(const QString &section, const QString &key) const;
    // Writes the key, creating file, section or key as needed; false, the
    // file left as it was, when it could not be read whole or written.
    bool writeString(const QString &section, const QString &key, const QString &value);
    // Removes a key (a no-op when it is missing); false as writeString.
    bool removeKey(const QString &section, const QString &key);

private:
    QString m_fileName;
};
