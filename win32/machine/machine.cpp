#include "machine/machine.h"

namespace w32 {

Machine& Machine::Current() {
    static Machine machine;
    return machine;
}

}  // namespace w32
