#pragma once

#include <string>

// The command-line transfers; they print to stdout and stderr and open no window.
// Each returns the process's exit status.
int RunExport(const std::string& catalogue, const std::string& csvPath);
int RunImport(const std::string& csvPath, const std::string& catalogue);
