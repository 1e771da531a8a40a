#pragma once

#include <functional>
#include <string>

// Where the core reports what the user must be told. The program shows a message box;
// tests record the texts.
using MessageSink = std::function<void(const std::string&)>;
