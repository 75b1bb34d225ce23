#pragma once

#include <string>

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
    enum class Status {
        Opened,        // `database` is open on the file
        Missing,       // no file (or folder) of that name
        NotADatabase,  // not a SQLite file, or it lacks rule/info
        Busy,          // another connection held it locked longer than the busy timeout
        Unreadable,    // SQLite could not read it (damaged, no permission, I/O error)
        Exists,        // create(): a file of that name is there already
        Failed,        // create(): the file could not be written
    };

    struct Outcome {
        Status status = Status::Failed;
        std::string reason;  // why, in English, for the user; empty when Opened or created
    };

    // Opens `path` on `database` when it is a lumo database; closes `database` otherwise.
    static Outcome openExisting(DatabaseConnection& database, const std::string& path);

    // Creates an empty lumo database at `path` (createEmptyDatabase). Status Opened means
    // created.
    static Outcome create(const std::string& path);
};

}  // namespace lumo
