"""Writing reference rows as SQL for the default database build."""


def literal(value):
    if value is None:
        return "NULL"
    if isinstance(value, int):
        return str(value)
    return "'" + str(value).replace("'", "''") + "'"


def write_inserts(out, table, columns, rows, chunk=500):
    """Multi-row INSERTs: the build parses one statement per chunk, not per row."""
    head = "INSERT INTO %s (%s) VALUES\n" % (table, ", ".join(columns))
    for start in range(0, len(rows), chunk):
        part = rows[start:start + chunk]
        out.write(head)
        out.write(",\n".join("(" + ", ".join(literal(v) for v in row) + ")" for row in part))
        out.write(";\n")
