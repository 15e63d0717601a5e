#include "simlink/aircraft.h"

namespace aviation {
namespace structs {

CAircraft::CAircraft() = default;

CAircraft::~CAircraft() = default;

} // namespace structs
} // namespace aviation
