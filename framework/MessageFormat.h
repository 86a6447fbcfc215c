// Filling the program's message texts.
#pragma once

#include <string>

// Replaces every %1 of a message with the argument.
std::string FormatMessage1(const std::string& format, const std::string& argument);
