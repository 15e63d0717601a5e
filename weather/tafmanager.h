// Keeps the downloaded TAF text and cuts out the forecast of one airport for display, e.g.
// TAF EDDF 061100Z 0612/0718 27012KT 9999 SCT030 BECMG 0618/0620 VRB03KT
#pragma once

#include <string>

namespace aviation::weather {

class CTAFManager
{
public:
    CTAFManager() = default;

    void SetTAFText(const wchar_t* text);
    // The forecast that contains the ICAO (the last one when several do), from the ICAO up to the
    // empty line that ends it; "no TAF available" or "TAF failed" otherwise.
    std::wstring GetTAF(const std::wstring& icao) const;

private:
    std::wstring m_tafText;
};

} // namespace aviation::weather
