// A weather theme as the simulator loads it: the binary .WTB file (header 09 00 00 00 01 FD, then one record
// per grid point) and its .wt description ("[Main]", "Title = ...", "Description = ...", "Version = 9.00").
#pragma once

#include "generation/weatherthemerecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CWeatherThemeFile
{
public:
    // Blank records for a size x size grid around the position: record 0 at the position, then the grid row by
    // row from the south-west corner, west to east and south to north, 16 km apart, reaching half the width south
    // and west and one step less north and east; then a copy of the last point.
    static CWeatherThemeFile AroundPosition(const aviation::Position& position, int size);

    void SetSize(int columns, int rows);
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }

    void AddRecord(const CWeatherThemeRecord& record) { m_records.push_back(record); }
    int GetRecordCount() const { return static_cast<int>(m_records.size()); }
    // A copy of record i; a blank record when there is none.
    CWeatherThemeRecord GetRecord(int index) const;

    // Writes path + ".WTB" and path + ".wt" (the path as the file system's bytes, without extension); true when
    // both were written in full. The description is dated with the clock's current UTC time.
    bool Write(const std::string& path) const;

    // The .WTB file's bytes.
    std::string BinaryContent() const;
    // The .wt file's text with its line feeds (the writer stores each as carriage return + line feed).
    std::string DescriptionText(std::int64_t utcSeconds) const;

private:
    int m_columns = 0;
    int m_rows = 0;
    std::vector<CWeatherThemeRecord> m_records;
};

// The theme name for this run ("aerovane" and "aerovane1" in turn over the program's life); each call moves on.
std::string NextWeatherThemeName();
// Starts the names over at "aerovane".
void ResetWeatherThemeNames();
