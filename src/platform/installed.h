#pragma once

#include <utility>

// The one implementation of a service the program (or a test) installed:
// main installs the real dialogs, tests install scripted ones.
template <class TService> class TInstalled {
public:
    // Installs `service` (null: none); returns the one installed before.
    static TService* Install(TService* service) { return std::exchange(Slot, service); }
    static TService* Current() { return Slot; }

private:
    static inline TService* Slot = nullptr;
};
