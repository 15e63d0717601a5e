#pragma once

// Numbers in reports, files and wire formats are always written and read with "." as decimal separator.
// Qt adopts the environment's locale when the application object is built; call this right after.

namespace platform {

// Sets LC_NUMERIC and LC_CTYPE of the C runtime to "C".
void UseCLocale();

} // namespace platform
