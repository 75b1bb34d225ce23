#pragma once

#include <string>
#include <string_view>

#include "base/Status.h"

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
// On failure the Status says why in English (UTF-8, the path as given) with errno as its code:
// Refused for a target that is not a regular file, Missing for a folder that is not there, Failed
// otherwise. Safe from any thread (the umask is never changed); two writers of one target at once
// each land whole, the later rename winning.
Status replaceFileAtomically(const std::string& path, std::string_view content);

}  // namespace lumo
