#pragma once

#include <string>
#include <string_view>

namespace lumo {

// Replaces the file at `path` with `content` so that a reader sees either the old file or the
// whole new one, never a part: the content goes to a new temporary file in the same folder, is
// flushed to the disk (fsync), and is renamed over the target; then the folder is flushed too.
//
// A symbolic link is followed: its target is replaced, in the target's folder, and the link stays
// a link (a dangling link gets its target made). Anything at the path that is not a regular file
// (a folder, a device, a FIFO) is refused and left alone. A target that exists keeps its
// permission bits; a new one gets 0666 less the umask. On failure the target is untouched and no
// temporary file stays behind.
//
// Returns empty on success, otherwise why it failed. Safe from any thread (the umask is never
// changed); two writers of one target at once each land whole, the later rename winning.
std::string replaceFileAtomically(const std::string& path, std::string_view content);

}  // namespace lumo
