// Text from strangers (names, replay lines, paths) on its way into JSON, HTML and
// the log: escaped for each, and decoded from the game's one byte per character.
#pragma once

#include <string>
#include <string_view>

// A name as the game keeps it (one byte per character, ISO-8859-1) as UTF-8, control
// characters as '?', at most `maxChars` characters.
std::string NameToUtf8(std::string_view latin1, size_t maxChars);
// A JSON string literal, quotes included; <, >, & as \u escapes so that it may sit
// inside a page too. `text` must be UTF-8.
std::string JsonString(std::string_view text);
// For text and attribute values of an HTML page.
std::string HtmlEscape(std::string_view text);
// One line of the log: control bytes and non-ASCII as \xNN.
std::string LogSafe(std::string_view text, size_t maxBytes = 200);
