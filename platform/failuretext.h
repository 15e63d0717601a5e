// The one form in which a failed step reaches the status bar and the log: "<what> failed: <cause>", and when
// it is tried again, ", next try in <n> s" behind it ("Download weather failed: timed out, next try in 60 s"), or
// ", next try once FS is connected" when the try waits for the simulator.
#pragma once

#include <QString>

namespace platform {

// `what` names the step as the user knows it ("Download weather"), `cause` says why in a few words. A next try
// `nextTrySeconds` from now is added when that is 0 or more; a time already passed reads as 0 s.
QString FailureText(const QString& what, const QString& cause, qint64 nextTrySeconds = -1);
// The failure of a step that is tried again only once the simulator is connected.
QString FailureTextAwaitingSimulator(const QString& what, const QString& cause);

// Seconds from `now` to `due`, both seconds of the clock: 0 once `due` has passed, never a wrapped count.
qint64 SecondsUntil(qint64 due, qint64 now);

} // namespace platform
