#pragma once

// Builds one JSON object on one line, for the developer tools' output:
//     {"icao":"EDDF","code":0,"qnh":1015,"cavok":false}
// Keys are written in the order they are added; wide text is written as UTF-8 with JSON escapes.

#include <string>

namespace tools {

class JsonLine
{
public:
    JsonLine& Add(const char* key, const std::wstring& value);
    JsonLine& Add(const char* key, const std::string& value);
    JsonLine& Add(const char* key, const char* value) { return Add(key, std::string(value)); }
    JsonLine& Add(const char* key, int value);
    JsonLine& Add(const char* key, long long value);
    // Non-finite numbers are written as null, which JSON can carry.
    JsonLine& Add(const char* key, double value);
    JsonLine& Add(const char* key, bool value);
    // Adds a value that is already JSON (an array or a nested object).
    JsonLine& AddJson(const char* key, const std::string& json);

    std::string ToString() const { return "{" + m_body + "}"; }

private:
    void AddKey(const char* key);

    std::string m_body;
};

// A JSON string literal, quotes included.
std::string JsonString(const std::wstring& text);
std::string JsonString(const std::string& text);

} // namespace tools
