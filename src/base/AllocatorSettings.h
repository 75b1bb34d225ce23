#pragma once

namespace lumo {

// Makes the C library's allocator keep freed memory of a few megabytes for reuse instead of
// handing it back to the system at once. Every plan check allocates and frees several buffers of
// the page's size; without this, glibc returns them to the kernel after each check (its heap top
// shrinks, larger blocks are unmapped) and the next check pays a page fault for every 4 KB it
// writes again, which is a third of a steady check's CPU time. Idle memory stays what it was:
// only what was in use before can be kept.
//
// Call once at the start of main(), before any thread starts. Does nothing outside glibc.
void keepFreedMemoryForReuse();

}  // namespace lumo
