#pragma once

#include <cstddef>
#include <limits>
#include <string>

// The files a transfer reads and writes, reached the same way from the command line and the
// window.

// The whole of a regular file, or its first `most` bytes; a FIFO, a device or a folder is refused
// without being read. False with the reason in `failure`.
bool ReadRegularFile(const std::string& path, std::string& text, std::string& failure,
                     std::size_t most = std::numeric_limits<std::size_t>::max());
