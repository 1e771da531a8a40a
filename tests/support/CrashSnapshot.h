#pragma once

#include <filesystem>
#include <sqlite3.h>
#include <string>

// Copies a catalogue and its journal aside at the moment a commit writes the first bytes of the
// catalogue file, and lets the commit go on: the copies are the files a crash at that moment
// leaves. SQLite's own file layer does the work; this layer only watches its writes.
class CrashSnapshot {
public:
    // While the object lives, every connection opened goes through the watching layer.
    CrashSnapshot(std::string catalogue, std::string copy)
        : m_catalogue(std::move(catalogue)), m_copy(std::move(copy)) {
        s_active = this;
        s_real = sqlite3_vfs_find(nullptr);
        s_vfs = *s_real;
        s_vfs.zName = "crash-snapshot";
        s_vfs.xOpen = Open;
        sqlite3_vfs_register(&s_vfs, 1);
    }
    ~CrashSnapshot() {
        sqlite3_vfs_unregister(&s_vfs);
        s_active = nullptr;
    }
    CrashSnapshot(const CrashSnapshot&) = delete;
    CrashSnapshot& operator=(const CrashSnapshot&) = delete;

    // The next write at the start of the catalogue file takes the copies.
    void Arm() { m_armed = true; }
    bool Taken() const { return m_taken; }

private:
    // The real layer's file keeps its own state; only its method table is swapped for one whose
    // write is watched, so every other call reaches the real layer unchanged.
    static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags,
                    int* outFlags) {
        const int rc = s_real->xOpen(s_real, name, file, flags, outFlags);
        if (rc == SQLITE_OK && file->pMethods != nullptr && (flags & SQLITE_OPEN_MAIN_DB) != 0) {
            s_methods = *file->pMethods;
            s_realWrite = file->pMethods->xWrite;
            s_methods.xWrite = Write;
            file->pMethods = &s_methods;
        }
        return rc;
    }
    static int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
        const int rc = s_realWrite(file, data, amount, offset);
        CrashSnapshot* self = s_active;
        if (rc == SQLITE_OK && offset == 0 && self != nullptr && self->m_armed) {
            self->m_armed = false;
            namespace fs = std::filesystem;
            fs::copy_file(self->m_catalogue, self->m_copy);
            fs::copy_file(self->m_catalogue + "-journal", self->m_copy + "-journal");
            self->m_taken = true;
        }
        return rc;
    }

    std::string m_catalogue;
    std::string m_copy;
    bool m_armed = false;
    bool m_taken = false;
    static inline CrashSnapshot* s_active = nullptr;
    static inline sqlite3_vfs* s_real = nullptr;
    static inline sqlite3_vfs s_vfs{};
    static inline sqlite3_io_methods s_methods{};
    static inline int (*s_realWrite)(sqlite3_file*, const void*, int, sqlite3_int64) = nullptr;
};
