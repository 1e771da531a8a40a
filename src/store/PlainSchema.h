#pragma once

class CEngineDatabase;

// Catalogues written before the text order left the file declare it on their text columns and
// indexes, so no other SQLite tool can read them. On a connection that may write, this rebuilds
// such a catalogue in the plain schema: every table that declares the order is recreated
// without it and refilled with all its rows, identifiers and auto-increment counter; indexes,
// triggers and views are recreated without it. All of it happens in one transaction: when any
// step fails (a read-only file or folder, a full disk), the file stays exactly as it was and
// remains usable on this connection, which knows the order. A plain file or a read-only
// connection is left alone.
void ConvertToPlainSchema(CEngineDatabase& db);
