#pragma once
// The user's Cancel of a long operation, as the operations report it.

#include "util/opstatus.h"
#include "util/xmsg.h"

namespace NSWave {

// Thrown when the user cancelled an operation through its progress
// reporter; whoever shows messages may say nothing.
class xcancelled : public xmsg {
public:
    xcancelled() : xmsg("Cancelled") {}
};

// For operations that can stop: throws xcancelled once the user asked.
inline void ThrowIfCancelled(const TOpStatus* status) {
    if (status && status->Cancelled())
        throw xcancelled();
}

} // namespace NSWave
