#pragma once

#include <string>

#include "base/Status.h"

namespace lumo {

// Making a new, empty lumo.sdb: both tables and their index, no rows.
//
// The schema is assets/schema.sql, compiled into the program. The file is built under a temporary
// name beside the target and renamed into place only when the whole schema has run, so a failed
// or interrupted creation never leaves a half-made database under the target's name. An existing
// file (or anything else) at the target is never replaced.
//
// Pure functions over the file system; safe from any thread for different targets.

// The schema text every new database is made from.
const std::string& embeddedSchema();

// Creates a database at `path` from `schema`. A failure says why in English (UTF-8): Exists when
// the target is there already (nothing is replaced), Refused for an empty path, Failed when the
// folder is missing or not writable or the schema failed (with errno or SQLite's code).
Status createDatabaseFromSchema(const std::string& path, const std::string& schema);

// createDatabaseFromSchema with the embedded schema.
inline Status createEmptyDatabase(const std::string& path) {
    return createDatabaseFromSchema(path, embeddedSchema());
}

// createEmptyDatabase after making the folders above `path` that are missing (only the user may
// enter them: mode 0700), as for a database in the user's data folder.
Status createEmptyDatabaseWithFolders(const std::string& path);

}  // namespace lumo
