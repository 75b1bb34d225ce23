/* Preloaded into 32-bit Wine when it runs under qemu's user-mode emulation.
 *
 * Wine reserves its fixed addresses (the shared user data at 0x7ffe0000 among them) with
 * mmap(MAP_FIXED_NOREPLACE). qemu 7 does not know that flag and treats the address as a mere
 * hint, so Wine gets memory elsewhere and gives up. This mmap gives the flag its kernel meaning:
 * the mapping is made at exactly that address or not at all (EEXIST).
 *
 * Built freestanding with `cc -m32 -nostdlib`, so no 32-bit C library headers are needed. */

typedef unsigned int size_t;
typedef long off_t;
typedef long long off64_t;

#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void*)-1)
#define EEXIST 17
#define SYS_munmap 91
#define SYS_old_mmap 90

extern int* __errno_location(void);

static long syscall1(long number, long argument) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(argument) : "memory");
    return result;
}

static long syscall2(long number, long first, long second) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(first), "c"(second) : "memory");
    return result;
}

static void* raw_mmap(void* address, size_t length, int protection, int flags, int fd,
                      off_t offset) {
    /* The old i386 mmap call takes its six arguments in memory. */
    long arguments[6] = {(long)address, (long)length, protection, flags, fd, offset};
    long result = syscall1(SYS_old_mmap, (long)arguments);
    if ((unsigned long)result > 0xfffff000UL) {
        *__errno_location() = (int)-result;
        return MAP_FAILED;
    }
    return (void*)result;
}

void* mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
    if (flags & MAP_FIXED_NOREPLACE) {
        void* mapped =
            raw_mmap(address, length, protection, flags & ~MAP_FIXED_NOREPLACE, fd, offset);
        if (mapped == MAP_FAILED || mapped == address) {
            return mapped;
        }
        syscall2(SYS_munmap, (long)mapped, (long)length);
        *__errno_location() = EEXIST;
        return MAP_FAILED;
    }
    return raw_mmap(address, length, protection, flags, fd, offset);
}

void* mmap64(void* address, size_t length, int protection, int flags, int fd, off64_t offset) {
    if (offset < 0 || offset > 0x7fffffffLL) {
        *__errno_location() = 75; /* EOVERFLOW */
        return MAP_FAILED;
    }
    return mmap(address, length, protection, flags, fd, (off_t)offset);
}
