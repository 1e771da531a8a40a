#pragma once

#include "backup/CatalogueBackups.h"
#include "transfer/CatalogueImport.h"

#include <string>

// The command-line transfers and backup; they print to stdout and stderr and open no window.
// Each returns the process's exit status.
int RunExport(const std::string& catalogue, const std::string& csvPath, bool safeCells);
// With a rejects path, the rows that cannot be stored go there and the others are stored;
// without one, the first such row stops the import. `options` gives the file's delimiter and
// encoding and whether duplicates are skipped.
int RunImport(const std::string& csvPath, const std::string& catalogue,
              const std::string& rejectsPath, ImportOptions options);
// Makes a backup of `catalogue` now and prints the new copy's path.
int RunBackup(const std::string& catalogue, const BackupSettings& settings);
