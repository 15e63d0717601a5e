#pragma once

// The program's debug output channel: every call writes its text, as given, to stderr in one piece.
// Tests replace the destination with ScopedDebugCapture to look at what was written.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

void DebugOut(const std::string& text);
// Wide text is written as Latin-1; characters above 255 become '?'.
void DebugOut(const std::wstring& text);

using DebugSink = std::function<void(const std::string& text)>;
// Sends every later DebugOut call to the sink; an empty sink restores stderr. Returns the previous sink.
DebugSink SetDebugSink(DebugSink sink);

// Collects the debug output written during its lifetime instead of printing it.
class ScopedDebugCapture
{
public:
    ScopedDebugCapture();
    ~ScopedDebugCapture();
    ScopedDebugCapture(const ScopedDebugCapture&) = delete;
    ScopedDebugCapture& operator=(const ScopedDebugCapture&) = delete;

    std::vector<std::string> Lines() const;
    bool Contains(const std::string& fragment) const;
    void Clear();

private:
    struct Buffer;
    std::shared_ptr<Buffer> m_buffer;
    DebugSink m_previous;
};

} // namespace platform
