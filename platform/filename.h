#pragma once

// File names made from outside text: an ident from a flight plan file or a network reply, a title, a user id or
// an aircraft title. The result names a file inside the folder it is joined to and is legal on every platform.

#include <QString>

namespace platform {

// Replaces blanks, the characters \ / : * ? " < > | and control characters by "_". A name of dots alone
// ("." or "..") has its dots replaced too, so it cannot name the folder or its parent. "A/B C" -> "A_B_C".
QString SafeFileName(const QString& name);

} // namespace platform
