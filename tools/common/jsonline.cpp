#include "tools/common/jsonline.h"

#include <cmath>
#include <cstdio>

namespace tools {

namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendEscaped(std::string& out, char32_t c)
{
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (c < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
        out += escape;
    } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        out += "\\ufffd";
    } else {
        AppendUtf8(out, c);
    }
}

} // namespace

std::string JsonString(const std::wstring& text)
{
    std::string out = "\"";
    for (wchar_t c : text)
        AppendEscaped(out, static_cast<char32_t>(c));
    return out + "\"";
}

std::string JsonString(const std::string& text)
{
    // Narrow text is taken as Latin-1, like every narrow text of the program.
    std::string out = "\"";
    for (char c : text)
        AppendEscaped(out, static_cast<unsigned char>(c));
    return out + "\"";
}

void JsonLine::AddKey(const char* key)
{
    if (!m_body.empty())
        m_body.push_back(',');
    m_body += JsonString(std::string(key));
    m_body.push_back(':');
}

JsonLine& JsonLine::Add(const char* key, const std::wstring& value)
{
    return AddJson(key, JsonString(value));
}

JsonLine& JsonLine::Add(const char* key, const std::string& value)
{
    return AddJson(key, JsonString(value));
}

JsonLine& JsonLine::Add(const char* key, int value)
{
    return AddJson(key, std::to_string(value));
}

JsonLine& JsonLine::Add(const char* key, long long value)
{
    return AddJson(key, std::to_string(value));
}

JsonLine& JsonLine::Add(const char* key, double value)
{
    if (!std::isfinite(value))
        return AddJson(key, "null");
    char number[32];
    std::snprintf(number, sizeof(number), "%.10g", value);
    return AddJson(key, number);
}

JsonLine& JsonLine::Add(const char* key, bool value)
{
    return AddJson(key, value ? "true" : "false");
}

JsonLine& JsonLine::AddJson(const char* key, const std::string& json)
{
    AddKey(key);
    m_body += json;
    return *this;
}

} // namespace tools
