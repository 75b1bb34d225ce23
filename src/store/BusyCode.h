#pragma once

namespace lumo {

// Whether SQLite's primary result code `code` says another connection held the file longer than
// the busy timeout allowed (SQLITE_BUSY or SQLITE_LOCKED): nothing was read or written, and the
// same statement may succeed later. Thread-safe.
bool isBusyCode(int code);

}  // namespace lumo
