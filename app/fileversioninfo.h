// The program's own file version, "2.1.0.0" as four 16-bit numbers, and its text form for the client version
// ("2.10.0": no dot between the second and third number).
#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The version is the project version the build baked in; the program file carries no version resource here.
class FileVersionInfo
{
public:
    FileVersionInfo() = default;

    // An empty name means the program's own file: true, the baked-in version loaded. Other files have no
    // version to read: false, nothing loaded.
    bool Load(const QString& fileName);
    // "%u.%u%u.%u" when dotted, else "%u,%u,%u,%u"; empty while nothing is loaded.
    QString GetFileVersionText(bool dotted) const;
    void Free();

    // "%u.%u%u.%u" or "%u,%u,%u,%u" of the four numbers.
    static QString FormatVersion(const std::array<std::uint16_t, 4>& version, bool dotted);
    // Reads up to four dotted numbers; missing ones, and those that are no number of 16 bits, read as 0.
    static std::array<std::uint16_t, 4> ParseVersion(const QString& version);

private:
    bool m_loaded = false;
    std::array<std::uint16_t, 4> m_version{};
};
