#include "shell/WriteInProgress.h"

namespace {
int g_writes = 0; // the window's thread alone begins and ends them
} // namespace

WriteInProgress::WriteInProgress() {
    ++g_writes;
}

WriteInProgress::~WriteInProgress() {
    --g_writes;
}

bool WriteInProgress::Any() {
    return g_writes > 0;
}
