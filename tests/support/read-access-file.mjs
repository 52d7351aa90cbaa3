// Prints what mdb-reader finds in an Access file, as JSON: the user tables, the
// database password, and the named table's column names, types and rows. The
// tests read Access files with it as a reader independent of libmdb.
//
// usage: node read-access-file.mjs FILE.mdb TABLE
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, tableName] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));
const table = reader.getTable(tableName);
const columns = table.getColumns();
const names = columns.map((c) => c.name);
process.stdout.write(
    JSON.stringify({
        tables: reader.getTableNames(),
        password: reader.getPassword(),
        columns: columns.map((c) => ({ name: c.name, type: c.type, size: c.size })),
        rows: table.getData().map((row) => names.map((n) => row[n])),
    }),
);
