#pragma once

#include <string>
#include <string_view>

// A file is replaced whole or not at all by building its new content under a temporary name in
// the same folder and renaming it over the target. These are the steps shared by everything
// that replaces a file so.

// A fresh temporary name beside `target`, carrying this process's id; never longer than a file
// name may be, however long the target's own name is.
std::string TemporarySibling(const std::string& target);

// A process killed while building leaves its temporary file behind; the next build for the same
// target removes those whose process no longer runs.
void RemoveAbandonedTemporaries(const std::string& target);

// Removes a temporary file and the journal SQLite may have left beside it; never fails.
void RemoveQuietly(const std::string& path);

// The file a rename must replace: the one a symbolic link points to, not the link.
std::string RealTarget(const std::string& path);

// Renames `temporary` over `target` and makes the rename durable; a replaced file keeps its
// permission bits. Returns the reason of a failure, or an empty text.
std::string RenameIntoPlace(const std::string& temporary, const std::string& target);

// Gives `temporary` the name `target` only when nothing has that name: a file that appeared
// there meanwhile is left alone and the rename fails ("File exists"). Durable like
// RenameIntoPlace. Returns the reason of a failure, or an empty text.
std::string RenameIntoNewPlace(const std::string& temporary, const std::string& target);

// Writes `bytes` to `target` whole or not at all: into a temporary sibling, flushed to disk, then
// renamed over it (over the file it points to, when `target` is a symbolic link). Returns the
// reason of a failure, or an empty text; the target is untouched on failure.
std::string ReplaceFileWith(const std::string& target, std::string_view bytes);
