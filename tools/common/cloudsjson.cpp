#include "tools/common/cloudsjson.h"

#include "tools/common/jsonline.h"

namespace tools {

std::string CloudsJson(const std::vector<aviation::weather::CCloudLayer>& layers, bool withBaseMsl)
{
    std::string json = "[";
    for (const aviation::weather::CCloudLayer& layer : layers) {
        if (json.size() > 1)
            json += ",";
        JsonLine object;
        object.Add("base", layer.GetBase())
            .Add("oktas", layer.GetCoverage())
            .Add("type", static_cast<int>(layer.GetType()));
        if (withBaseMsl)
            object.Add("base_msl", layer.GetBaseMSL());
        json += object.ToString();
    }
    return json + "]";
}

} // namespace tools
