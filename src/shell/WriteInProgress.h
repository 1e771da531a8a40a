#pragma once

// Marks a long write to the catalogue that lets the window breathe while it runs (an import with
// its progress bar). While one is under way no other write may begin: anything that would open a
// dialog that writes (a book looked up meanwhile) waits until it is over.
class WriteInProgress {
public:
    WriteInProgress();
    ~WriteInProgress();
    WriteInProgress(const WriteInProgress&) = delete;
    WriteInProgress& operator=(const WriteInProgress&) = delete;

    // Whether such a write is under way now.
    static bool Any();
};
