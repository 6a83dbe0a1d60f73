#pragma once

#include <QString>

class Connection;

// Judges at open whether a database file is whole for the program: every
// table and column of data/schema.sql (the script that builds every Kez
// file, compiled into the program) with its declared type, and nothing in
// it that runs SQL of its own: no trigger, no view, no foreign key that
// changes rows beyond the program's own cascades. Such a thing would act
// on the clerk's data behind the program's back; a missing column would be
// read as an empty value. Extra tables, columns and indexes change nothing
// the program reads or writes, and are allowed.
class SchemaCheck
{
public:
    // False, after a box under title naming what is wrong and what to do,
    // when the file on cn is not whole or could not be read.
    static bool isWhole(const Connection &cn, const QString &title);

private:
    // The refusal for the file on cn; empty when it is whole. False when
    // the file could not be read: the reason is in ErrInfo.
    static bool judge(const Connection &cn, QString *refusal);
};
