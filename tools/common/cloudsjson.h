#pragma once

// Writes a report's cloud layers as a JSON array for the developer tools' output:
//     [{"base":2000,"oktas":7,"type":10,"base_msl":2364}]

#include "weather/cloudlayer.h"

#include <string>
#include <vector>

namespace tools {

// Base, cover in oktas and type of every layer; the base above mean sea level too when `withBaseMsl`.
std::string CloudsJson(const std::vector<aviation::weather::CCloudLayer>& layers, bool withBaseMsl);

} // namespace tools
