#pragma once

#include "backup/CatalogueBackups.h"

// Where the user's copies go and how many stay, as the settings say.
BackupSettings UserBackupSettings();
