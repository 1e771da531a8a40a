#pragma once

#include <string>

// The files a transfer reads and writes, reached the same way from the command line and the
// window.

// The whole of a regular file; a FIFO, a device or a folder is refused without being read.
// False with the reason in `failure`.
bool ReadRegularFile(const std::string& path, std::string& text, std::string& failure);
