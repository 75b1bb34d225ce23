#pragma once

#include <string>

#include "base/Status.h"
#include "store/DatabaseConnection.h"

namespace lumo {

// Opening an existing lumo.sdb with a check that it is one, and creating a new, empty one.
//
// openExisting() never writes to the file: a file that is not a SQLite database, or a database
// without the tables `rule` and `info`, is refused and left exactly as it was. create() never
// replaces an existing file, not even one that appears while it works.
//
// Stateless; safe from any thread (each call uses its own connection or the given database).
class DatabaseFile {
public:
    // A refusal says why in English (UTF-8), for the user, by its kind:
    //   Missing   no file (or folder) of that name
    //   Refused   not a SQLite file, or one without the tables rule and info
    //   Busy      another connection held it locked longer than the busy timeout
    //   Failed    SQLite could not read it (damaged, no permission, I/O error; SQLite's code),
    //             or create() could not write it
    //   Exists    create(): a file of that name is there already

    // Opens `path` on `database` when it is a lumo database; closes `database` otherwise.
    static Status openExisting(DatabaseConnection& database, const std::string& path);

    // Creates an empty lumo database at `path` (createEmptyDatabase).
    static Status create(const std::string& path);
};

}  // namespace lumo
