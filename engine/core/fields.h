// The field splitter shared by the settings file, the score file and the
// settings panel's two-part labels.
#pragma once

#include <string>

// Field n (from 1) of the trimmed text split at sep; "-+-" for a missing field.
std::string GetField(const std::string& text, const std::string& sep, int n);
