// The simulated computer that the layer's functions act on. A process has one
// current machine; until a test or tool makes or opens one, it is a machine
// with default settings and no drive.
#pragma once
#include "machine/settings.h"

namespace w32 {

class Machine {
public:
    static Machine& Current();

    const MachineSettings& Settings() const { return settings_; }
    MachineSettings& MutableSettings() { return settings_; }

private:
    MachineSettings settings_;
};

}  // namespace w32
