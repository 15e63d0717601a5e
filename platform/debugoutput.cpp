#include "platform/debugoutput.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace platform {

namespace {

std::mutex& OutputMutex()
{
    static std::mutex mutex;
    return mutex;
}

DebugSink& CurrentSink()
{
    static DebugSink sink;
    return sink;
}

std::string ToLatin1(const std::wstring& text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text)
        narrow.push_back(c >= 0 && c <= 0xFF ? static_cast<char>(c) : '?');
    return narrow;
}

} // namespace

void DebugOut(const std::string& text)
{
    std::lock_guard<std::mutex> lock(OutputMutex());
    if (CurrentSink()) {
        CurrentSink()(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void DebugOut(const std::wstring& text)
{
    DebugOut(ToLatin1(text));
}

DebugSink SetDebugSink(DebugSink sink)
{
    std::lock_guard<std::mutex> lock(OutputMutex());
    DebugSink previous = std::move(CurrentSink());
    CurrentSink() = std::move(sink);
    return previous;
}

struct ScopedDebugCapture::Buffer
{
    mutable std::mutex mutex;
    std::vector<std::string> lines;
};

ScopedDebugCapture::ScopedDebugCapture()
    : m_buffer(std::make_shared<Buffer>())
{
    std::shared_ptr<Buffer> buffer = m_buffer;
    m_previous = SetDebugSink([buffer](const std::string& text) {
        std::lock_guard<std::mutex> lock(buffer->mutex);
        buffer->lines.push_back(text);
    });
}

ScopedDebugCapture::~ScopedDebugCapture()
{
    SetDebugSink(std::move(m_previous));
}

std::vector<std::string> ScopedDebugCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(m_buffer->mutex);
    return m_buffer->lines;
}

bool ScopedDebugCapture::Contains(const std::string& fragment) const
{
    std::lock_guard<std::mutex> lock(m_buffer->mutex);
    for (const std::string& line : m_buffer->lines) {
        if (line.find(fragment) != std::string::npos)
            return true;
    }
    return false;
}

void ScopedDebugCapture::Clear()
{
    std::lock_guard<std::mutex> lock(m_buffer->mutex);
    m_buffer->lines.clear();
}

} // namespace platform
