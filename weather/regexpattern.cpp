#include "weather/regexpattern.h"

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

#include <stdexcept>

static_assert(sizeof(wchar_t) == sizeof(PCRE2_UCHAR32), "wide text must be 32-bit code units");

namespace aviation::weather {

RegexMatch::~RegexMatch()
{
    pcre2_match_data_free(m_data);
}

void RegexMatch::Reserve(std::size_t pairs)
{
    if (m_data && m_capacity >= pairs)
        return;
    pcre2_match_data_free(m_data);
    m_data = pcre2_match_data_create(static_cast<uint32_t>(pairs), nullptr);
    if (!m_data)
        throw std::bad_alloc();
    m_capacity = pairs;
}

bool RegexMatch::Matched(std::size_t group) const
{
    if (!m_data || group >= m_size)
        return false;
    return pcre2_get_ovector_pointer(m_data)[2 * group] != PCRE2_UNSET;
}

std::size_t RegexMatch::Position(std::size_t group) const
{
    if (!Matched(group))
        return m_subject.size();
    return pcre2_get_ovector_pointer(m_data)[2 * group];
}

std::size_t RegexMatch::Length(std::size_t group) const
{
    if (!Matched(group))
        return 0;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_data);
    return ovector[2 * group + 1] - ovector[2 * group];
}

std::wstring_view RegexMatch::View(std::size_t group) const
{
    if (!Matched(group))
        return {};
    return m_subject.substr(Position(group), Length(group));
}

RegexPattern::RegexPattern(const std::wstring& pattern)
{
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    // ECMAScript's "$" matches only at the very end, and "." stops at carriage returns and line feeds.
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.c_str()), pattern.size(), PCRE2_DOLLAR_ENDONLY, &error,
                           &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!m_code) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(error, message, sizeof(message) / sizeof(message[0]));
        std::string text;
        for (const PCRE2_UCHAR* c = message; *c; ++c)
            text.push_back(static_cast<char>(*c));
        throw std::invalid_argument("regular expression does not compile: " + text);
    }
    uint32_t groups = 0;
    pcre2_pattern_info(m_code, PCRE2_INFO_CAPTURECOUNT, &groups);
    m_groupCount = groups;
    m_jit = pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE) == 0;
}

RegexPattern::~RegexPattern()
{
    pcre2_code_free(m_code);
}

bool RegexPattern::Search(std::wstring_view text, RegexMatch& match, std::size_t from) const
{
    match.m_size = 0;
    match.m_subject = text;
    if (from > text.size())
        return false;
    match.Reserve(m_groupCount + 1);
    static const wchar_t empty[] = L"";
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.empty() ? empty : text.data());
    int result = 0;
    if (m_jit)
        result = pcre2_jit_match(m_code, subject, text.size(), from, 0, match.m_data, nullptr);
    // The JIT code runs on a small fixed stack; a long repetition that outgrows it is matched again by the
    // interpreter (which keeps its backtracking state on the heap) rather than be taken for "no match".
    if (!m_jit || result == PCRE2_ERROR_JIT_STACKLIMIT)
        result = pcre2_match(m_code, subject, text.size(), from, PCRE2_NO_JIT, match.m_data, nullptr);
    if (result < 0)
        return false;
    match.m_size = m_groupCount + 1;
    return true;
}

} // namespace aviation::weather
