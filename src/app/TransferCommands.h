#pragma once

#include "backup/CatalogueBackups.h"

#include <string>

// The command-line transfers and backup; they print to stdout and stderr and open no window.
// Each returns the process's exit status.
int RunExport(const std::string& catalogue, const std::string& csvPath);
int RunImport(const std::string& csvPath, const std::string& catalogue);
// Makes a backup of `catalogue` now and prints the new copy's path.
int RunBackup(const std::string& catalogue, const BackupSettings& settings);
